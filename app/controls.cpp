#include "app/controls.h"

#include "app/control_table.h"
#include "platform/win32/win32_text.h"
#include "registry/selection.h"

#include <commctrl.h>
#include <windowsx.h>
#include <cstddef>

namespace {

// The record without the trailing reserved pointer, as common controls 6 accepts.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOW, lpReserved);

struct Tooltip {
    HWND window = nullptr;
    TOOLINFOW info = {};
};

Tooltip tooltips[kControlCount];
HFONT controlFont = nullptr;

HWND control(const ControlRow& row) {
    return hwnd(app().controls.*(row.field));
}

void attachTooltip(HWND target, const wchar_t* text, int maxWidth, UINT flags, Tooltip& tip) {
    tip.window =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, target, nullptr, nullptr, nullptr);
    tip.info.cbSize = kToolInfoSize;
    tip.info.uFlags = flags;
    tip.info.hwnd = target;
    tip.info.uId = 0;
    GetClientRect(target, &tip.info.rect);
    tip.info.hinst = nullptr;
    tip.info.lpszText = const_cast<wchar_t*>(text);
    tip.info.lParam = 0;
    SendMessageW(tip.window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip.info));
    // A maximum width makes the tip break at the line feeds.
    SendMessageW(tip.window, TTM_SETMAXTIPWIDTH, 0, maxWidth);
}

// The stock font is made for the system's DPI, which a display of another
// scale does not share: its height is carried over to the window's DPI.
HFONT makeControlFont(unsigned dpi) {
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    const HDC screen = GetDC(nullptr);
    const int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (systemDpi > 0 && static_cast<unsigned>(systemDpi) != dpi)
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), systemDpi);
    return CreateFontIndirectW(&font);  // kept until the window's DPI changes
}

void setControlFont(HFONT font) {
    for (const ControlRow& row : kControls)
        if (row.extras & kUsesFont)
            SendMessageW(control(row), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int tooltipWidth(const ControlRow& row) {
    return scaleToDpi(row.tooltipWidth, app().dpi);
}

// Where a control the layout does not place sits, at the window's DPI.
Box creationBox(const ControlRow& row) {
    return scaleBox({row.x, row.y, row.width, row.height}, app().dpi);
}

void deferMove(HDWP& batch, HWND window, const Box& box) {
    batch =
        DeferWindowPos(batch, window, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER);
}

}  // namespace

void createControls(HWND mainWindow, HINSTANCE instance) {
    Controls& c = app().controls;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        const HWND parent = row.parent == kMain ? mainWindow : hwnd(c.windowOpsGroup);
        std::u16string caption;
        if (row.extras & kCountLabel)
            caption = countLabelText(0);
        const wchar_t* text = (row.extras & kCountLabel) ? wide(caption.c_str()) : row.caption;
        const Box box = creationBox(row);
        const HWND window = CreateWindowExW(
            row.exStyle, row.windowClass, text, WS_CHILD | WS_VISIBLE | row.style, box.x, box.y,
            box.width, box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
            instance, nullptr);
        c.*(row.field) = window;
        if (row.behaviour != ControlBehaviour::None)
            subclassControl(window, row.behaviour);
        fillControl(window, row);
    }

    controlFont = makeControlFont(app().dpi);
    setControlFont(controlFont);
}

void applyControlDpi() {
    const HFONT previous = controlFont;
    controlFont = makeControlFont(app().dpi);
    setControlFont(controlFont);
    DeleteObject(previous);  // no control holds it any more
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        if (row.width > 0) {
            const Box box = creationBox(row);
            SetWindowPos(control(row), nullptr, box.x, box.y, box.width, box.height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (tooltips[i].window)
            SendMessageW(tooltips[i].window, TTM_SETMAXTIPWIDTH, 0, tooltipWidth(row));
    }
}

void attachTooltips() {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        if (row.tooltip)
            attachTooltip(control(row), row.tooltip, tooltipWidth(row),
                          (row.extras & kRelaysTip) ? 0 : TTF_SUBCLASS, tooltips[i]);
    }
}

void relayToTooltip(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    for (int i = 0; i < kControlCount; ++i) {
        if (!(kControls[i].extras & kRelaysTip) || control(kControls[i]) != target ||
            !tooltips[i].window)
            continue;
        const DWORD position = GetMessagePos();
        MSG relayed = {target,
                       message,
                       wParam,
                       lParam,
                       static_cast<DWORD>(GetMessageTime()),
                       {GET_X_LPARAM(position), GET_Y_LPARAM(position)}};
        SendMessageW(tooltips[i].window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
}

void layoutControls(int w, int h) {
    const Controls& c = app().controls;
    const MainLayout l = computeLayout(w, h, app().dpi);

    // A deferred batch holds windows of one parent only.
    HDWP main = BeginDeferWindowPos(9);
    HDWP group = BeginDeferWindowPos(2);
    for (const PlacedControl& p : kPlaced)
        deferMove(p.parent == kMain ? main : group, hwnd(c.*(p.field)), l.*(p.box));
    EndDeferWindowPos(main);
    EndDeferWindowPos(group);

    for (int i = 0; i < kControlCount; ++i) {
        Tooltip& tip = tooltips[i];
        if (!tip.window)
            continue;
        GetClientRect(control(kControls[i]), &tip.info.rect);
        SendMessageW(tip.window, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tip.info));
    }
}
