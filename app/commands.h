// The main window's command doors: WM_COMMAND and the two system-menu items.
#pragma once

#include <windows.h>

// Adds the separator, "オプション(&O)", "バージョン情報(&A)..." and
// "セッションを開く(&N)..." to the system menu.
void addSystemMenuItems(HWND mainWindow);
// WM_COMMAND; false for ids Tilewick does not handle.
bool dispatchCommand(HWND mainWindow, WORD id, WORD notification);
// WM_SYSCOMMAND: the added items when picked from the menu, and accelerators
// whose id is also a system-menu item (104); the caller hands every one on
// afterwards.
void dispatchSystemCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// F1: shows or hides the shortcut letters in five button captions.
void toggleHintLabels();
