// AboutDialog: the modal "バージョン情報 Tilewick" box, dialog resource 103.
#pragma once

#include <windows.h>

// Runs the box modally, owned by owner; returns when OK, Enter, Esc or the
// close box ends it.
void showAboutDialog(HWND owner);

// The dialog procedure, for callers that run the template themselves.
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
