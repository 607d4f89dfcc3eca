// The main window: class registration, start-up, message handling, shutdown.
#pragma once

#include <windows.h>

ATOM registerMainWindowClass(HINSTANCE instance, const wchar_t* className);
HWND createMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title);
