// Opening PuTTY's saved sessions from Tilewick, against real PuTTY.
//
// Each saved session is written into the bench's registry the way PuTTY
// stores it (its name escaped byte by byte in the ANSI code page) and points
// at a loopback listener of its own, so a connection on that listener proves
// that PuTTY was handed the session's exact name. The sessions' names are the
// awkward ones: a blank, quotes and an apostrophe, Japanese.
#include "fixture.h"
#include "gestures.h"
#include "real_putty_bench.h"

using namespace bench;
using namespace real_putty;

namespace {

const wchar_t kDialogCaption[] = L"PuTTYセッションを開く";
const wchar_t kWarningCaption[] = L"警告";
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kSessionFilter = 1201, kSessionList = 1202, kGroupCombo = 1203, kGroupSave = 1204;
const wchar_t kSessionsKey[] = L"Software\\SimonTatham\\PuTTY\\Sessions";

void deleteSavedSessions() {
    HKEY sessions = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSessionsKey, 0, KEY_ALL_ACCESS, &sessions) !=
        ERROR_SUCCESS)
        return;
    std::vector<std::wstring> keys;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD units = 256;
        if (RegEnumKeyExW(sessions, i, name, &units, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (std::wstring(name) != L"Default%20Settings")
            keys.push_back(name);
    }
    for (const auto& k : keys)
        RegDeleteTreeW(sessions, k.c_str());
    RegCloseKey(sessions);
}

// Terminals Tilewick started: the bench did not, so it cannot end them.
void endEveryPutty() {
    for (HWND w : topWindowsOfClass(L"PuTTY")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(p, 0);
            CloseHandle(p);
        }
    }
}

class SavedSessionsTest : public RealPuttyBench {
protected:
    void SetUp() override {
        RealPuttyBench::SetUp();
        if (putty.empty() || HasFatalFailure())
            return;
        deleteSavedSessions();
        setPuttyPath(putty);
    }
    void TearDown() override {
        if (putty.empty())
            return;
        endEveryPutty();
        RealPuttyBench::TearDown();
        deleteSavedSessions();
    }

    static void setPuttyPath(const std::wstring& path) {
        WritePrivateProfileStringW(L"PUTTY", L"path", path.c_str(),
                                   (documentsDir() + L"\\twk.ini").c_str());
    }

    // A raw session to a listener of its own, under `stored` (the name as PuTTY
    // escapes it); its terminal is titled "<host> - PuTTY".
    void saveSession(const std::wstring& stored, const std::wstring& host) {
        listeners.push_back(std::make_unique<ByteListener>());
        ASSERT_TRUE(listeners.back()->ok()) << "cannot listen on 127.0.0.1";
        HKEY key = nullptr;
        const std::wstring path = std::wstring(kSessionsKey) + L"\\" + stored;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        auto text = [key](const wchar_t* value, const std::wstring& data) {
            RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        };
        auto number = [key](const wchar_t* value, DWORD data) {
            RegSetValueExW(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof data);
        };
        text(L"HostName", L"127.0.0.1");
        text(L"Protocol", L"raw");
        text(L"LogHost", host);
        text(L"LineCodePage", L"UTF-8");
        number(L"PortNumber", static_cast<DWORD>(listeners.back()->port()));
        // A loaded session takes PuTTY's built-in values, not Default Settings.
        for (const wchar_t* off : {L"LocalEcho", L"LocalEdit"})
            number(off, 1);
        number(L"WarnOnClose", 0);
        number(L"CloseOnExit", 2);
        number(L"MouseIsXterm", 0);
        RegCloseKey(key);
    }

    HWND openDialog() {
        gestures::activate(ui.main);
        gestures::alt('N');
        return waitForPopup(kDialogCaption);
    }

    // The listed hosts' terminals each in a cell of their own, restored, Tilewick
    // in front with the focus in the command field, and typing reaching each.
    void expectTiledAndTyped(const std::vector<std::wstring>& hosts,
                             const std::vector<int>& listenerIndices) {
        std::vector<std::wstring> titles;
        for (const auto& h : hosts)
            titles.push_back(h + L" - PuTTY");
        ASSERT_TRUE(listShows(titles));
        ASSERT_TRUE(
            textIs(ui.countLabel, L"選択ウィンドウ数：  " + std::to_wstring(hosts.size()) + L"  "));
        for (int i : listenerIndices)
            EXPECT_EQ(listeners[i]->connections(), 1) << "session " << i << " did not connect once";
        auto arranged = [&] {
            const auto windows = topWindowsOfClass(L"PuTTY");
            for (size_t a = 0; a < windows.size(); ++a) {
                if (placement(windows[a]).showCmd != SW_SHOWNORMAL)
                    return false;
                for (size_t b = a + 1; b < windows.size(); ++b)
                    if (windowRect(windows[a]).left == windowRect(windows[b]).left &&
                        windowRect(windows[a]).top == windowRect(windows[b]).top)
                        return false;
            }
            return windows.size() == hosts.size();
        };
        ASSERT_TRUE(waitUntil([&] {
            return arranged() && GetForegroundWindow() == ui.main &&
                   focusOf(ui.main) == ui.commandEdit;
        })) << "the opened terminals are not tiled, or Tilewick is not in front with the focus in "
               "the command field";
        std::string why;
        ASSERT_TRUE(gestures::typeWithKeys(L"uname", &why)) << why;
        tapKey(VK_RETURN);
        for (int i : listenerIndices) {
            EXPECT_TRUE(waitUntil([&] { return listeners[i]->bytes() == "uname\r"; }))
                << "session " << i << " received " << escaped(listeners[i]->bytes());
        }
    }
};

TEST_F(SavedSessionsTest, ChosenSessionsWithAwkwardNamesOpenTiledAndTakeTyping) {
    ASSERT_EQ(GetACP(), 932u) << "Wine's ANSI code page is not 932: generate ja_JP.UTF-8 "
                                 "(scripts/install-deps.sh) and restart the bench";
    ASSERT_NO_FATAL_FAILURE(saveSession(L"web%2001", L"s1"));
    ASSERT_NO_FATAL_FAILURE(saveSession(L"say%20\"hi\"%20it's", L"s2"));
    ASSERT_NO_FATAL_FAILURE(saveSession(L"plain", L"s3"));
    ASSERT_NO_FATAL_FAILURE(saveSession(L"%8C%9F%8F%D8-e", L"s4"));  // 検証-e in code page 932
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog) << "Alt+N opened no dialog";
    const HWND list = GetDlgItem(dialog, kSessionList);
    EXPECT_EQ(listRows(list),
              (std::vector<std::wstring>{L"plain", L"say \"hi\" it's", L"web 01", L"検証-e"}))
        << "sessions by their real names, in title order, without Default Settings";
    ASSERT_TRUE(gestures::selectRows(list, {0, 1, 2, 3}));
    ASSERT_NO_FATAL_FAILURE(screenshot(L"open-sessions-dialog"));
    tapKey(VK_RETURN);
    ASSERT_TRUE(popupGone(kDialogCaption));
    expectTiledAndTyped({L"s1", L"s2", L"s3", L"s4"}, {0, 1, 2, 3});
    EXPECT_EQ(popup(kWarningCaption), nullptr);
}

TEST_F(SavedSessionsTest, AGroupSavedInTheDialogOpensWithAltOne) {
    ASSERT_NO_FATAL_FAILURE(saveSession(L"alpha", L"g1"));
    ASSERT_NO_FATAL_FAILURE(saveSession(L"beta", L"g2"));
    ASSERT_NO_FATAL_FAILURE(saveSession(L"gamma", L"g3"));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog) << "Alt+N opened no dialog";
    ASSERT_TRUE(gestures::selectRows(GetDlgItem(dialog, kSessionList), {0, 2}));
    click(centreOf(GetDlgItem(dialog, kGroupCombo)));
    typeText(L"web,db");
    click(centreOf(GetDlgItem(dialog, kGroupSave)));
    ASSERT_TRUE(waitUntil([] {
        return readFile(documentsDir() + L"\\twk.ini").find("web,db=alpha,gamma") !=
               std::string::npos;
    })) << "twk.ini: "
        << readFile(documentsDir() + L"\\twk.ini");
    // Choosing the group empties the filter and marks exactly its sessions.
    const HWND list = GetDlgItem(dialog, kSessionList);
    click(centreOf(GetDlgItem(dialog, kSessionFilter)));
    typeText(L"bet");
    ASSERT_TRUE(waitUntil([&] { return listRows(list) == std::vector<std::wstring>{L"beta"}; }));
    click(centreOf(GetDlgItem(dialog, kGroupCombo)));
    tapKey(VK_DOWN);
    EXPECT_TRUE(waitUntil([&] {
        return windowText(GetDlgItem(dialog, kSessionFilter)).empty() &&
               listMarks(list) == std::vector<bool>{true, false, true};
    })) << "filter "
        << show(windowText(GetDlgItem(dialog, kSessionFilter)));
    tapKey(VK_ESCAPE);
    ASSERT_TRUE(popupGone(kDialogCaption));
    EXPECT_TRUE(topWindowsOfClass(L"PuTTY").empty()) << "Cancel opened something";

    gestures::activate(ui.main);
    gestures::alt('1');
    expectTiledAndTyped({L"g1", L"g3"}, {0, 2});
    EXPECT_EQ(listeners[1]->connections(), 0) << "beta is not in the group";
}

TEST_F(SavedSessionsTest, WithoutPuttyOneWarningSaysWhereTilewickLooked) {
    ASSERT_NO_FATAL_FAILURE(saveSession(L"alpha", L"n1"));
    setPuttyPath(L"C:\\nowhere\\putty.exe");
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog) << "Alt+N opened no dialog";
    ASSERT_TRUE(gestures::selectRows(GetDlgItem(dialog, kSessionList), {0}));
    tapKey(VK_RETURN);
    HWND warning = waitForPopup(kWarningCaption);
    ASSERT_TRUE(warning) << "no warning without putty.exe";
    const std::wstring said = windowText(GetDlgItem(warning, kMessageBoxText));
    EXPECT_NE(said.find(L"C:\\nowhere\\putty.exe"), std::wstring::npos) << narrow(said);
    EXPECT_NE(said.find(L"[PUTTY] セクションの path"), std::wstring::npos) << narrow(said);
    ASSERT_NO_FATAL_FAILURE(screenshot(L"open-sessions-no-putty"));
    PostMessageW(warning, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(popupGone(kWarningCaption));
    EXPECT_TRUE(topWindowsOfClass(L"PuTTY").empty());
    EXPECT_EQ(listeners[0]->connections(), 0);
}

}  // namespace
