#include "app/main_window.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "app/controls.h"
#include "app/view_state.h"
#include "arrange/bands.h"
#include "arrange/displays.h"
#include "broadcast/key_state.h"
#include "broadcast/paste_offer.h"
#include "registry/discovery.h"
#include "registry/selection.h"
#include "resources/help_file.h"
#include "resources/ids.h"
#include "sessions/session_opening.h"
#include "settings/settings_store.h"

namespace {

// Posted by the creation handler; the loop takes it before any input.
constexpr UINT kFinishStartUp = WM_APP + 1;
// Posted on activation: the terminals are reset once the input that came
// with the switch has been taken, and before the first key, off its path.
constexpr UINT kResetKeyStates = WM_APP + 2;
// What the window needs before it is first shown and painted: its controls,
// the displays and the list. The rest comes with kFinishStartUp.
void startUp(HWND window) {
    AppState& a = app();
    a.mainWindow = window;
    adoptDpi(platform::windowDpi(a.mainWindow));
    createControls(window, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)));
    // Created at its size for 96 DPI: which display it would open on was not known.
    if (a.dpi != kBaseDpi)
        SetWindowPos(window, nullptr, 0, 0, scaleToDpi(kInitialWidth, a.dpi),
                     scaleToDpi(kInitialHeight, a.dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    addSystemMenuItems(window);
    refreshDisplays();
    discoverWindows();
    updateSelectionState();
    if (!RegisterHotKey(window, IDH_RESTORE, MOD_CONTROL | MOD_SHIFT, 'T'))
        OutputDebugStringW(L"NG!");
    PostMessageW(window, kFinishStartUp, 0, 0);
}

// Tooltips and the two paths under Documents (finding Documents may load
// the shell): nothing the user can reach before the loop runs.
void finishStartUp() {
    attachTooltips();
    SettingsStore::load();
    buildHelpPath();
}

void shutDown(HWND window) {
    removeBands();
    shutdownHelp();
    UnregisterHotKey(window, IDH_RESTORE);
    PostQuitMessage(0);
}

void applyTrackLimits(MINMAXINFO& info) {
    const TrackLimits limits = trackLimits(app().compact, app().dpi);
    info.ptMinTrackSize.x = limits.minWidth;
    info.ptMinTrackSize.y = limits.minHeight;
    if (limits.maxHeight)
        info.ptMaxTrackSize.y = limits.maxHeight;
}

// Moved to a display of another scale (or the scale changed): the window
// takes the rectangle the system suggests, and everything drawn follows.
void onDpiChanged(HWND window, unsigned dpi, const RECT& suggested) {
    adoptDpi(dpi);
    applyControlDpi();
    const platform::Rect r =
        rectForNewDpi({suggested.left, suggested.top, suggested.right, suggested.bottom});
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);  // the same size as before sends no WM_SIZE
    layoutControls(client.right, client.bottom);
    refreshDisplays();
    InvalidateRect(window, nullptr, TRUE);
}

// A moved taskbar or a new scale changes what the displays look like.
bool changesDisplays(WPARAM setting) {
    constexpr WPARAM kLogicalDpiOverride = 0x009F;  // SPI_SETLOGICALDPIOVERRIDE
    return setting == SPI_SETWORKAREA || setting == kLogicalDpiOverride;
}

void paintNothing(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        startUp(window);
        return 0;
    case WM_DESTROY:
        shutDown(window);
        return 0;
    case kFinishStartUp:
        finishStartUp();
        return 0;
    case WM_SIZE:
        // Minimised, Tilewick takes no typing: no band is worth a tick then.
        pauseBands(wParam == SIZE_MINIMIZED);
        layoutControls(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
            // Terminals had the keyboard meanwhile; whatever they held stays.
            forgetKeyStates();
            PostMessageW(window, kResetKeyStates, 0, 0);
            SetFocus(static_cast<HWND>(app().controls.commandEdit));
        }
        return 0;
    case kResetKeyStates:
        // Not while a terminal is in front again: attached, even for a moment,
        // its thread would lose its focus.
        if (GetForegroundWindow() == window)
            resetStaleKeyStates();
        return 0;
    case WM_PAINT:
        paintNothing(window);
        return 0;
    case WM_GETMINMAXINFO:
        applyTrackLimits(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DISPLAYCHANGE:
        refreshDisplays();
        followNow();
        return 0;
    case WM_TIMER:
        if (wParam == kBandTimerId)
            followTick();
        else if (wParam == kSpareTimerId)
            stockSpareBands();
        else if (wParam == kOpeningTimerId)
            followOpening();
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        if (changesDisplays(wParam))
            refreshDisplays();
        break;
    case WM_COMMAND:
        if (dispatchCommand(window, LOWORD(wParam), HIWORD(wParam)))
            return 0;
        break;
    case WM_SYSCOMMAND:
        // Alt let go alone: with no menu bar, the keys typed next belong in
        // the command field, not in an unseen system menu. Wine also takes an
        // Alt that went down in a terminal and up here for one. Alt+Space
        // (lParam ' ') still opens the system menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0)
            return 0;
        dispatchSystemCommand(window, wParam, lParam);
        break;
    case WM_HOTKEY:
        if (wParam == IDH_RESTORE)
            restoreFromHotKey();
        return 0;
    case WM_RENDERFORMAT:
        // A terminal reads the text a paste offers.
        renderPasteFormat(static_cast<unsigned>(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ATOM registerMainWindowClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILEWICK));
    wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILEWICK));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc);
}

HWND createMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title) {
    return CreateWindowExW(WS_EX_COMPOSITED | WS_EX_LAYERED, className, title,
                           WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                           0, kInitialWidth, kInitialHeight, nullptr, nullptr, instance, nullptr);
}
