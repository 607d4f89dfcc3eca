// The open-sessions dialog: a filter over PuTTY's saved sessions, a list to
// mark them in, the named groups, and whether what opens is tiled. What OK
// means lives in sessions/; this file only moves it between the controls.
#include "app/open_sessions_dialog.h"

#include "app/app_state.h"
#include "app/modal_dialog.h"
#include "broadcast/window_naming.h"
#include "platform/bounded_text.h"
#include "platform/win32/win32_text.h"
#include "registry/title_filter.h"
#include "resources/ids.h"
#include "sessions/putty_settings.h"
#include "sessions/session_groups.h"
#include "sessions/session_opening.h"

#include <algorithm>
#include <set>

namespace {

// The dialog's own state, for the life of one run: it reaches the
// procedure through DWLP_USER.
struct Picker {
    std::vector<SavedSession> sessions;  // title order
    std::vector<std::size_t> shown;      // row k shows sessions[shown[k]]
    std::vector<SessionGroup> groups;    // the combo's items
    std::vector<SavedSession> chosen;    // filled by OK
    bool arrange = true;
};

Picker* pickerOf(HWND dialog) {
    return reinterpret_cast<Picker*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string itemText(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(item, wide(text.data()), static_cast<int>(text.size()))));
    return text;
}

std::set<std::u16string> markedNames(HWND dialog, const Picker& p) {
    std::set<std::u16string> names;
    const HWND list = GetDlgItem(dialog, IDC_SESSION_LIST);
    for (std::size_t k = 0; k < p.shown.size(); ++k)
        if (SendMessageW(list, LB_GETSEL, k, 0) > 0)
            names.insert(p.sessions[p.shown[k]].name);
    return names;
}

// Rows for the filter's matches, as the main filter matches titles; the
// marks of rows still shown stay, the others go with their rows.
void fillList(HWND dialog, Picker& p, const std::set<std::u16string>& marked) {
    char16_t filter[kFilterUnits] = {};
    GetDlgItemTextW(dialog, IDC_SESSION_FILTER, wide(filter), kFilterUnits);
    lowerAscii(filter);
    const HWND list = GetDlgItem(dialog, IDC_SESSION_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    p.shown.clear();
    for (std::size_t i = 0; i < p.sessions.size(); ++i) {
        const std::u16string& name = p.sessions[i].name;
        if (!titleMatches(name.c_str(), filter))
            continue;
        const auto row =
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (marked.count(name))
            SendMessageW(list, LB_SETSEL, TRUE, row);
        p.shown.push_back(i);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void fillGroups(HWND dialog, Picker& p, const std::u16string& text) {
    p.groups = loadGroups(app().settingsPath);
    const HWND combo = GetDlgItem(dialog, IDC_GROUP_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const SessionGroup& g : p.groups)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g.name.c_str()));
    SetWindowTextW(combo, wide(text.c_str()));
}

void showNote(HWND dialog, const Picker& p) {
    BoundedText<200> note;
    if (p.sessions.empty())
        note.text(u"PuTTYの保存されたセッションがありません。PuTTYの設定画面で保存してください。");
    else
        note.text(u"保存されたセッション: ")
            .number(static_cast<long long>(p.sessions.size()))
            .text(u" 個");
    SetDlgItemTextW(dialog, IDC_SESSION_NOTE, wide(note.c_str()));
}

void refuse(HWND dialog, const std::u16string& text) {
    MessageBoxW(dialog, wide(text.c_str()), wide(kWarningCaption), MB_OK | MB_ICONWARNING);
}

// Choosing a group: the whole list, exactly its sessions marked.
void chooseGroup(HWND dialog, Picker& p) {
    const auto index = SendDlgItemMessageW(dialog, IDC_GROUP_COMBO, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= p.groups.size())
        return;
    const std::vector<std::u16string>& names = p.groups[static_cast<std::size_t>(index)].sessions;
    SetDlgItemTextW(dialog, IDC_SESSION_FILTER, L"");
    fillList(dialog, p, {names.begin(), names.end()});
}

void saveMarkedAsGroup(HWND dialog, Picker& p) {
    const std::u16string name = trimmedGroupName(itemText(dialog, IDC_GROUP_COMBO));
    if (const char16_t* problem = groupNameProblem(name))
        return refuse(dialog, u"グループ「" + name + u"」は保存できません。\n" + problem);
    std::vector<std::u16string> sessions;
    const std::set<std::u16string> marked = markedNames(dialog, p);
    for (const std::size_t i : p.shown)
        if (marked.count(p.sessions[i].name))
            sessions.push_back(p.sessions[i].name);
    if (sessions.empty())
        return refuse(dialog, u"グループ「" + name +
                                  u"」は保存できません。\nセッションが選ばれていません。");
    if (!saveGroup(app().settingsPath, name, sessions))
        return refuse(dialog, u"グループ「" + name + u"」を twk.ini に書き込めませんでした。");
    fillGroups(dialog, p, name);
}

void deleteChosenGroup(HWND dialog, Picker& p) {
    const std::u16string name = trimmedGroupName(itemText(dialog, IDC_GROUP_COMBO));
    const bool known = std::any_of(p.groups.begin(), p.groups.end(),
                                   [&](const SessionGroup& g) { return g.name == name; });
    if (!known)
        return refuse(dialog, u"グループ「" + name + u"」はありません。");
    if (!deleteGroup(app().settingsPath, name))
        return refuse(dialog, u"グループ「" + name + u"」を twk.ini から削除できませんでした。");
    fillGroups(dialog, p, u"");
}

void initialise(HWND dialog, Picker& p) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&p));
    fillList(dialog, p, {});
    fillGroups(dialog, p, u"");
    showNote(dialog, p);
    CheckDlgButton(dialog, IDC_ARRANGE_AFTER_OPEN, p.arrange ? BST_CHECKED : BST_UNCHECKED);
}

void accept(HWND dialog, Picker& p) {
    const std::set<std::u16string> marked = markedNames(dialog, p);
    for (const std::size_t i : p.shown)
        if (marked.count(p.sessions[i].name))
            p.chosen.push_back(p.sessions[i]);
    p.arrange = IsDlgButtonChecked(dialog, IDC_ARRANGE_AFTER_OPEN) == BST_CHECKED;
    rememberArrangeAfterOpening(app().settingsPath, p.arrange);
}

INT_PTR CALLBACK openSessionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        initialise(dialog, *reinterpret_cast<Picker*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND || !pickerOf(dialog))
        return FALSE;  // notifications of controls made before WM_INITDIALOG
    Picker& p = *pickerOf(dialog);
    switch (LOWORD(wParam)) {
    case IDC_SESSION_FILTER:
        if (HIWORD(wParam) == EN_CHANGE)
            fillList(dialog, p, markedNames(dialog, p));
        return TRUE;
    case IDC_GROUP_COMBO:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            chooseGroup(dialog, p);
        return TRUE;
    case IDC_GROUP_SAVE:
        saveMarkedAsGroup(dialog, p);
        return TRUE;
    case IDC_GROUP_DELETE:
        deleteChosenGroup(dialog, p);
        return TRUE;
    default:
        return endOnOkOrCancel(
            dialog, wParam, [dialog, &p] { accept(dialog, p); }, [] {});
    }
}

}  // namespace

void runOpenSessionsDialog() {
    if (openingUnderWay())
        return;  // what was asked for last is still coming up
    Picker picker;
    picker.sessions = savedSessions();
    picker.arrange = arrangeAfterOpening(app().settingsPath);
    if (runModalDialog(IDD_OPEN_SESSIONS, openSessionsProc, reinterpret_cast<LPARAM>(&picker)) ==
        IDOK)
        openSessions(picker.chosen, {}, picker.arrange);
}
