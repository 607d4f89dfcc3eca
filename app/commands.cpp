#include "app/commands.h"

#include "app/app_state.h"
#include "app/open_sessions_dialog.h"
#include "app/view_state.h"
#include "arrange/arrange.h"
#include "arrange/grid.h"
#include "arrange/window_actions.h"
#include "broadcast/paste.h"
#include "platform/win32/win32_text.h"
#include "registry/selection.h"
#include "resources/about_dialog.h"
#include "resources/ids.h"
#include "sessions/session_opening.h"
#include "settings/settings_choices.h"

namespace {

struct HintCaption {
    platform::WindowHandle Controls::*button;
    const char16_t* plain;
    const char16_t* hinted;
};

const HintCaption kHintCaptions[] = {
    {&Controls::invertButton, u"選択を反転", u"選択を反転(R)"},
    {&Controls::flashButton, u"点滅", u"点滅(B)"},
    {&Controls::refreshButton, u"PuTTYウィンドウ更新", u"PuTTYウィンドウ更新(F5)"},
    {&Controls::arrangeButton, u"並べる", u"並べる(L)"},
    {&Controls::hideOthersButton, u"他を隠す", u"他を隠す(H)"},
};

void focus(platform::WindowHandle Controls::*control) {
    platform::setFocus(app().controls.*control);
}

// Area commands: Numpad 5, 4, 8, 6, 2 and Enter, Left, Up, Right, Down.
int areaForCommand(WORD id) {
    static const int kAreas[] = {kFullScreen, kLeftHalf, kTopHalf, kRightHalf, kBottomHalf};
    const int offset = id - IDM_AREA_FIRST;
    return kAreas[offset % 5];
}

void arrangeInArea(int area) {
    platform::comboSelect(app().controls.areaCombo, area);
    proposeGrid();
    arrangeWindows();
}

// TranslateAccelerator delivers an accelerator whose id is also a system-menu
// item (104, 3031) as WM_SYSCOMMAND, not WM_COMMAND, and marks it: its documentation
// puts 1 in the high word of wParam, Wine sends the bare id with lParam
// 0x00010000; both are taken. A pick from the menu sends the bare id with the
// cursor position in lParam.
bool fromAccelerator(WPARAM wParam, LPARAM lParam) {
    return HIWORD(wParam) == 1 || lParam == MAKELPARAM(0, 1);
}

void insertMenuItem(HMENU menu, UINT position, UINT type, UINT id, const wchar_t* text) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.fType = type;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(text);
    InsertMenuItemW(menu, position, TRUE, &item);
}

}  // namespace

void addSystemMenuItems(HWND mainWindow) {
    const HMENU menu = GetSystemMenu(mainWindow, FALSE);
    insertMenuItem(menu, 7, MFT_SEPARATOR, IDM_OPTIONS, nullptr);
    insertMenuItem(menu, 8, MFT_STRING, IDM_OPTIONS, L"オプション(&O)");
    insertMenuItem(menu, 9, MFT_STRING, IDM_ABOUT, L"バージョン情報(&A)...");
    insertMenuItem(menu, 10, MFT_STRING, IDM_OPEN_SESSIONS, L"セッションを開く(&N)...");
}

void toggleHintLabels() {
    AppState& a = app();
    a.hintLabels = !a.hintLabels;
    for (const HintCaption& h : kHintCaptions)
        platform::setWindowText(a.controls.*(h.button), a.hintLabels ? h.hinted : h.plain);
}

bool dispatchCommand(HWND mainWindow, WORD id, WORD notification) {
    if (id >= IDM_AREA_FIRST && id <= IDM_AREA_LAST) {
        arrangeInArea(areaForCommand(id));
        return true;
    }
    if (id >= IDM_GROUP_FIRST && id <= IDM_GROUP_LAST) {
        openGroup(static_cast<std::size_t>(id - IDM_GROUP_FIRST));
        return true;
    }
    switch (id) {
    case IDM_ABOUT:
        showAboutDialog(mainWindow);
        return true;
    case IDC_FILTER_EDIT:
        if (notification == EN_UPDATE)
            applyFilter();
        return true;
    case IDC_WINDOW_LIST:
        if (notification == LBN_SELCHANGE)
            selectionFromList();
        return true;
    case IDM_TOGGLE_HINTS:
        toggleHintLabels();
        return true;
    case IDM_REFRESH:
        refreshWindows();
        return true;
    case IDM_SELECT_ALL:
        selectAll();
        return true;
    case IDM_FLASH:
        flashSelected();
        return true;
    case IDM_FOCUS_DISPLAY:
        focus(&Controls::displayCombo);
        return true;
    case IDM_TOGGLE_COMPACT:
        toggleCompactMode();
        return true;
    case IDM_FOCUS_FILTER:
        focus(&Controls::filterEdit);
        return true;
    case IDM_HIDE_OTHERS:
        hideOthers();
        return true;
    case IDM_FOCUS_COMMAND:
        focus(&Controls::commandEdit);
        return true;
    case IDM_ARRANGE:
        arrangeWindows();
        return true;
    case IDM_INVERT:
        invertSelection();
        return true;
    case IDM_FOCUS_AREA:
        focus(&Controls::areaCombo);
        return true;
    case IDM_TOGGLE_TRANSLUCENCY:
        toggleTranslucency();
        return true;
    case IDM_PASTE:
        broadcastPaste();
        return true;
    case IDM_SETTINGS:
        runSettingsDialog();
        return true;
    case IDM_OPEN_SESSIONS:
        runOpenSessionsDialog();
        return true;
    default:
        return false;
    }
}

void dispatchSystemCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam) {
    const WORD id = LOWORD(wParam);
    if (fromAccelerator(wParam, lParam)) {
        // Alt+? and Alt+/ open the about box as command 104, Alt+N the
        // sessions as 3031: opacity untouched.
        dispatchCommand(mainWindow, id, 1);
    } else if (id == IDM_OPTIONS) {
        makeOpaqueForDialog();
        runSettingsDialog();
    } else if (id == IDM_ABOUT) {
        makeOpaqueForDialog();
        showAboutDialog(mainWindow);
    } else if (id == IDM_OPEN_SESSIONS) {
        makeOpaqueForDialog();
        runOpenSessionsDialog();
    }
}
