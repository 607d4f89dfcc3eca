#include "app/band_window.h"

#include "arrange/bands.h"
#include "platform/win32/win32_text.h"

namespace {

// A band edge is a layered window whose colour is given whole by
// UpdateLayeredWindow: nothing is painted on it, and nothing on it answers
// the mouse or takes activation.
LRESULT CALLBACK bandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

ATOM registerBandWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = bandWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = wide(kBandClassName);
    return RegisterClassExW(&wc);
}
