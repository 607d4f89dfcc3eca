// Tilewick's entry: GDI+, the main window, the message loop with accelerators.
#include "app/band_window.h"
#include "app/main_window.h"

#include "app/app_state.h"
#include "app/shortcut_scope.h"
#include "resources/help_file.h"
#include "resources/ids.h"

#include <gdiplus.h>

namespace {
constexpr int kTextUnits = 100;

// Every DLL loaded from here on (HTML Help, DWM, and whatever they load)
// comes from the system folder, never from beside the exe (a Downloads
// folder) or the current folder. The imports themselves are KnownDLLs only
// (checked by the build's import test). Looked up, so that a system without
// the call still starts; there, at least the current folder is left out.
void restrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    restrictDllSearch();
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

    // The help viewer sees its messages first, as HTML Help requires. Then
    // accelerators win over every control of the main window, commandEdit
    // included, and over nothing else.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (pretranslateHelpMessage(&message))
            continue;
        if (takesShortcuts(message.hwnd) &&
            TranslateAcceleratorW(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return static_cast<int>(message.wParam);
}
