// Tilewick's entry: GDI+, the main window, the message loop with accelerators.
#include "app/band_window.h"
#include "app/main_window.h"

#include "app/app_state.h"
#include "resources/help_file.h"
#include "resources/ids.h"

#include <gdiplus.h>

namespace {
constexpr int kTextUnits = 100;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    wchar_t title[kTextUnits] = {};
    wchar_t className[kTextUnits] = {};
    LoadStringW(instance, IDS_APP_TITLE, title, kTextUnits);
    LoadStringW(instance, IDS_WINDOW_CLASS, className, kTextUnits);
    registerMainWindowClass(instance, className);
    registerBandWindowClass(instance);

    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    const HWND mainWindow = createMainWindow(instance, className, title);
    if (!mainWindow)
        return 0;
    // A layered window stays invisible until its first alpha is set.
    SetLayeredWindowAttributes(mainWindow, RGB(0xFF, 0xFF, 0xFF), 255, LWA_ALPHA);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    const HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    initHelp();

    // Accelerators win over every control, commandEdit included.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return static_cast<int>(message.wParam);
}
