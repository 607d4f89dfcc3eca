#include "app/controls.h"

#include "app/app_state.h"
#include "app/control_procs.h"
#include "app/layout.h"
#include "platform/win32/win32_text.h"
#include "registry/selection.h"
#include "resources/ids.h"

#include <commctrl.h>
#include <windowsx.h>
#include <cstddef>

namespace {

using ControlField = platform::WindowHandle Controls::*;

enum Parent { kMain, kGroup };

enum Extra {
    kNone = 0,
    kUsesFont = 1,
    kCueHiddenOnFocus = 2,  // EM_SETCUEBANNER with FALSE
    kCueShownOnFocus = 4,   // EM_SETCUEBANNER with TRUE
    kFillsAreas = 8,
    kGridField = 16,  // starts with "1"
    kCountLabel = 32,
    // The tooltip is handed the control's mouse messages by its replacement
    // procedure (TTM_RELAYEVENT) rather than subclassing the control itself:
    // under Wine a common-controls subclass costs two property look-ups in
    // the server for every message, and a rebuild sends the list two a row.
    kRelaysTip = 64,
};

struct ControlRow {
    ControlField field;
    const wchar_t* windowClass;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int id;
    Parent parent;
    const wchar_t* caption;
    int x, y, width, height;
    int extras;
    ControlBehaviour behaviour;  // None: the control keeps its own procedure
    const wchar_t* cueBanner;
    const wchar_t* tooltip;  // none when null
    int tooltipWidth;
};

// Creation order is also the order of the children, which the end-to-end
// tests walk; the tooltip rectangles are renewed in this order too.
const ControlRow kControls[] = {
    {&Controls::commandEdit, L"EDIT", WS_BORDER, WS_EX_CLIENTEDGE, 0, kMain, nullptr, 0, 0, 0, 0,
     kUsesFont | kCueHiddenOnFocus, ControlBehaviour::CommandEdit, L"コマンド入力",
     L"ここにコマンドを入力してください。\nダブルクリックで半透明にもなります。\nAlt+I "
     L"でフォーカスが移動します。",
     200},
    {&Controls::compactButton, L"BUTTON", 0, 0, 0, kMain, L"", 10, 38, 18, 18, 0,
     ControlBehaviour::CompactButton, nullptr, nullptr, 0},
    {&Controls::listTitleLabel, L"STATIC", SS_NOTIFY, 0, 0, kMain, L"PuTTY ウィンドウ一覧", 30, 40,
     150, 20, kUsesFont, ControlBehaviour::ListTitleLabel, nullptr, nullptr, 0},
    {&Controls::filterEdit, L"EDIT", WS_BORDER, WS_EX_CLIENTEDGE, IDC_FILTER_EDIT, kMain, nullptr,
     0, 0, 0, 0, kUsesFont | kCueShownOnFocus, ControlBehaviour::None, L"フィルタリング",
     L"PuTTYウィンドウをフィルタリングできます。\nAlt+F でフォーカスが移動します。", 300},
    {&Controls::windowList, L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY,
     WS_EX_CLIENTEDGE, IDC_WINDOW_LIST, kMain, nullptr, 0, 0, 0, 0, kUsesFont | kRelaysTip,
     ControlBehaviour::WindowList, nullptr,
     L"操作するPuTTYウィンドウを選択してください。\nAlt+A で全選択ができます。", 300},
    {&Controls::invertButton, L"BUTTON", 0, 0, 0, kMain, L"選択を反転", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::InvertButton, nullptr, L"選択状態を反転させることができます。\nAlt+R", 300},
    {&Controls::flashButton, L"BUTTON", 0, 0, 0, kMain, L"点滅", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::FlashButton, nullptr,
     L"選択されているPuTTYウィンドウを点滅させます。\nAlt+B", 300},
    {&Controls::windowOpsGroup, L"BUTTON", BS_GROUPBOX, 0, 0, kMain, L"ウィンドウ操作", 0, 0, 0, 0,
     kUsesFont, ControlBehaviour::WindowOpsGroup, nullptr, nullptr, 0},
    {&Controls::displayCombo, L"COMBOBOX", CBS_DROPDOWNLIST, 0, IDC_GRID_COMBO, kGroup, nullptr, 8,
     18, 115, 100, kUsesFont, ControlBehaviour::None, nullptr,
     L"並べるディスプレイを指定できます。\nAlt+D でフォーカスが移動します。", 300},
    {&Controls::areaCombo, L"COMBOBOX", CBS_DROPDOWNLIST, 0, IDC_GRID_COMBO, kGroup, nullptr, 8, 45,
     115, 100, kUsesFont | kFillsAreas, ControlBehaviour::None, nullptr,
     L"並べる範囲を指定できます。\nAlt+S でフォーカスが移動します。", 300},
    {&Controls::columnsLabel, L"STATIC", 0, 0, 0, kGroup, L"列", 8, 75, 15, 20, kUsesFont,
     ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::columnsEdit, L"EDIT", WS_BORDER | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, 0, kGroup,
     nullptr, 23, 70, 40, 21, kUsesFont | kGridField, ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::rowsLabel, L"STATIC", 0, 0, 0, kGroup, L"行", 68, 75, 15, 20, kUsesFont,
     ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::rowsEdit, L"EDIT", WS_BORDER | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, 0, kGroup,
     nullptr, 83, 70, 40, 21, kUsesFont | kGridField, ControlBehaviour::None, nullptr, nullptr, 0},
    {&Controls::arrangeButton, L"BUTTON", 0, 0, 0, kGroup, L"並べる", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::ArrangeButton, nullptr, L"PuTTYウィンドウを並べます。\nAlt+L", 300},
    {&Controls::hideOthersButton, L"BUTTON", 0, 0, 0, kGroup, L"他を隠す", 0, 0, 0, 0, kUsesFont,
     ControlBehaviour::HideOthersButton, nullptr,
     L"選択されていないPuTTYウィンドウを最小化します。\nAlt+H", 300},
    {&Controls::refreshButton, L"BUTTON", 0, 0, 0, kMain, L"PuTTYウィンドウ更新", 0, 0, 0, 0,
     kUsesFont, ControlBehaviour::RefreshButton, nullptr, L"PuTTYウィンドウを更新します。\nF5",
     300},
    {&Controls::helpButton, L"BUTTON", 0, 0, 0, kMain, L"", 0, 0, 0, 0, 0,
     ControlBehaviour::HelpButton, nullptr, nullptr, 0},
    {&Controls::countLabel, L"STATIC", SS_RIGHT, 0, 0, kMain, nullptr, 0, 0, 0, 0,
     kUsesFont | kCountLabel, ControlBehaviour::None, nullptr, nullptr, 0},
};
constexpr int kControlCount = sizeof(kControls) / sizeof(kControls[0]);

const wchar_t* const kAreaItems[] = {L"画面いっぱい", L"左半分", L"上半分", L"右半分", L"下半分"};

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

HFONT makeControlFont() {
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return CreateFontIndirectW(&font);  // kept for the life of the process
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
        const HWND window = CreateWindowExW(
            row.exStyle, row.windowClass, text, WS_CHILD | WS_VISIBLE | row.style, row.x, row.y,
            row.width, row.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
            instance, nullptr);
        c.*(row.field) = window;

        if (row.extras & (kCueHiddenOnFocus | kCueShownOnFocus))
            SendMessageW(window, EM_SETCUEBANNER, (row.extras & kCueShownOnFocus) ? TRUE : FALSE,
                         reinterpret_cast<LPARAM>(row.cueBanner));
        if (row.behaviour != ControlBehaviour::None)
            subclassControl(window, row.behaviour);
        if (row.extras & kFillsAreas) {
            for (const wchar_t* item : kAreaItems)
                SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendMessageW(window, CB_SETCURSEL, 0, 0);
        }
        if (row.extras & kGridField)
            SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    }

    controlFont = makeControlFont();
    for (const ControlRow& row : kControls)
        if (row.extras & kUsesFont)
            SendMessageW(control(row), WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), TRUE);
}

void attachTooltips() {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        if (row.tooltip)
            attachTooltip(control(row), row.tooltip, row.tooltipWidth,
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
    const MainLayout l = computeLayout(w, h);

    HDWP main = BeginDeferWindowPos(9);
    deferMove(main, hwnd(c.commandEdit), l.commandEdit);
    deferMove(main, hwnd(c.filterEdit), l.filterEdit);
    deferMove(main, hwnd(c.windowList), l.windowList);
    deferMove(main, hwnd(c.invertButton), l.invertButton);
    deferMove(main, hwnd(c.flashButton), l.flashButton);
    deferMove(main, hwnd(c.windowOpsGroup), l.windowOpsGroup);
    deferMove(main, hwnd(c.refreshButton), l.refreshButton);
    deferMove(main, hwnd(c.helpButton), l.helpButton);
    deferMove(main, hwnd(c.countLabel), l.countLabel);
    EndDeferWindowPos(main);

    // A deferred batch holds windows of one parent only.
    HDWP group = BeginDeferWindowPos(2);
    deferMove(group, hwnd(c.arrangeButton), l.arrangeButton);
    deferMove(group, hwnd(c.hideOthersButton), l.hideOthersButton);
    EndDeferWindowPos(group);

    for (int i = 0; i < kControlCount; ++i) {
        Tooltip& tip = tooltips[i];
        if (!tip.window)
            continue;
        GetClientRect(control(kControls[i]), &tip.info.rect);
        SendMessageW(tip.window, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tip.info));
    }
}
