// Typing and pasting into every selected terminal, and the window actions.
#include "fixture.h"
#include "gestures.h"

#include <cstring>
#include <fstream>
#include <map>

using namespace bench;

namespace {

const wchar_t kWarningCaption[] = L"警告";
const wchar_t kConfirmCaption[] = L"貼り付ける内容を確認してください。";

class BroadcastTest : public TilewickBench {
protected:
    // Terminals t1..tN, Tilewick, and the first `selected` rows selected.
    void startWith(int count, int selected, const std::map<int, std::wstring>& show = {}) {
        ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(count, show));
        startTilewickSelecting(count, selected);
    }

    // Titles must be given in list order.
    void startWithTitles(const std::vector<std::wstring>& titles, int selected) {
        ASSERT_NO_FATAL_FAILURE(startTerminals(titles));
        startTilewickSelecting(static_cast<int>(titles.size()), selected);
    }

    void startTilewickSelecting(int count, int selected) {
        ASSERT_NO_FATAL_FAILURE(startTilewick());
        ASSERT_TRUE(waitUntil([&] { return listRows(ui.windowList).size() == size_t(count); }));
        gestures::activate(ui.main);
        std::vector<int> rows;
        for (int row = 0; row < selected; ++row)
            rows.push_back(row);
        ASSERT_TRUE(gestures::selectRows(ui.windowList, rows));
        ASSERT_TRUE(
            textIs(ui.countLabel, L"選択ウィンドウ数：  " + std::to_wstring(selected) + L"  "));
        click(centreOf(ui.commandEdit));
        ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    }

    // Key events (keydown/char/keyup) a terminal received, as "kind:wp".
    static std::vector<std::string> keys(const FakeTerminal& t) {
        std::vector<std::string> out;
        for (const auto& e : t.events())
            if (e.kind == "keydown" || e.kind == "char" || e.kind == "keyup" ||
                e.kind == "syskeydown" || e.kind == "syschar")
                out.push_back(e.kind + ":" + std::to_string(e.wp));
        return out;
    }

    ::testing::AssertionResult keysAre(const FakeTerminal& t,
                                       const std::vector<std::string>& expected) {
        std::vector<std::string> seen;
        if (waitUntil([&] { return (seen = keys(t)) == expected; }))
            return ::testing::AssertionSuccess();
        std::string s;
        for (auto& k : seen)
            s += k + " ";
        return ::testing::AssertionFailure() << "keys were [" << s << "]";
    }
};

std::string down(WORD vk) {
    return "keydown:" + std::to_string(vk);
}
std::string chr(wchar_t c) {
    return "char:" + std::to_string(c);
}

TEST_F(BroadcastTest, TypedKeysReachEverySelectedTerminalAsTheKeyboardMadeThem) {
    ASSERT_NO_FATAL_FAILURE(startWith(4, 3));
    tapKey('L');
    tapKey('S');
    tapKey(VK_RETURN);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(keysAre(*terminals[i], {down('L'), down('S'), down(VK_RETURN)})) << i;
        auto events = terminals[i]->events("keydown");
        ASSERT_EQ(events.size(), 3u);
        for (auto& e : events) {
            // Repeat count 1 and the key's own scan code, as the keyboard produced them.
            EXPECT_EQ(e.lp & 0xFFFF, 1u) << e.raw;
            EXPECT_EQ((e.lp >> 16) & 0xFF, MapVirtualKeyW(e.wp, MAPVK_VK_TO_VSC)) << e.raw;
        }
    }
    EXPECT_TRUE(keys(*terminals[3]).empty()) << "an unselected terminal got keys";
    EXPECT_TRUE(textIs(ui.commandEdit, L""));
}

TEST_F(BroadcastTest, ShiftedLettersArriveAsTheCharacterTyped) {
    ASSERT_NO_FATAL_FAILURE(startWith(2, 2));
    tapKey('A', {VK_SHIFT});
    tapKey('C', {VK_CONTROL});
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(
            keysAre(*terminals[i], {down(VK_SHIFT), chr(L'A'), down(VK_CONTROL), chr(L'\x03')}))
            << i;
}

// The first key after Tilewick starts, after a new selection and after the
// hot key: its Shift once went missing in every terminal ("chaos" for
// "Chaos"). Each terminal must get a capital every time, never the bare key.
class FirstKeyTest : public BroadcastTest {
protected:
    static constexpr int kTerminals = 10;
    static constexpr int kRounds = 20;

    void typeCapitalAndCheck(const std::string& after) {
        tapKey('C', {VK_SHIFT});
        ++capitals;
        for (auto& t : terminals) {
            ASSERT_TRUE(waitUntil([&] { return t->events("char").size() == size_t(capitals); }))
                << after << ": " << narrow(windowText(t->hwnd())) << " got "
                << t->events("char").size() << " characters of " << capitals;
            EXPECT_EQ(t->events("char").back().wp, unsigned('C')) << after;
            for (const auto& e : t->events("keydown"))
                ASSERT_NE(e.wp, unsigned('C')) << after << ": the C went out without its Shift";
        }
    }
    void focusCommandField() {
        click(centreOf(ui.commandEdit));
        ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    }
    int capitals = 0;

    // Tilewick started, in front, all ten selected with Alt+A.
    void startSelectingAll() {
        ASSERT_NO_FATAL_FAILURE(startTilewick());
        ASSERT_TRUE(waitUntil([&] { return listRows(ui.windowList).size() == kTerminals; }));
        gestures::activate(ui.main);
        gestures::alt('A');
        ASSERT_TRUE(textIs(ui.countLabel, countText(kTerminals)));
        ASSERT_NO_FATAL_FAILURE(focusCommandField());
    }
};

TEST_F(FirstKeyTest, AfterEveryStartTheFirstCapitalKeepsItsShift) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(kTerminals));
    for (int round = 1; round <= kRounds; ++round) {
        ASSERT_NO_FATAL_FAILURE(startSelectingAll());
        ASSERT_NO_FATAL_FAILURE(typeCapitalAndCheck("start " + std::to_string(round)));
        PostMessageW(ui.main, WM_CLOSE, 0, 0);
        DWORD code = 0;
        ASSERT_TRUE(bench.tilewick()->waitForExit(&code)) << "Tilewick did not close";
    }
}

TEST_F(FirstKeyTest, AfterEveryNewSelectionAndHotKeyTheFirstCapitalKeepsItsShift) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(kTerminals));
    ASSERT_NO_FATAL_FAILURE(startSelectingAll());
    for (int round = 1; round <= kRounds; ++round) {
        ASSERT_TRUE(gestures::selectRows(ui.windowList, {round % 3}));
        gestures::alt('A');
        ASSERT_TRUE(textIs(ui.countLabel, countText(kTerminals)));
        ASSERT_NO_FATAL_FAILURE(focusCommandField());
        ASSERT_NO_FATAL_FAILURE(typeCapitalAndCheck("Alt+A " + std::to_string(round)));
    }
    for (int round = 1; round <= kRounds; ++round) {
        const HWND t = terminals[round % kTerminals]->hwnd();
        SetForegroundWindow(t);
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == t && focusOf(t) == t; }));
        // Under a loaded Wine a hot key now and then brings nothing back (an
        // older build too); what is checked here is the key typed after it.
        bool back = false;
        for (int attempt = 0; attempt < 3 && !back; ++attempt) {
            keyDown(VK_CONTROL);
            keyDown(VK_SHIFT);
            tapKey('T');
            back = waitUntil(
                [&] {
                    return GetForegroundWindow() == ui.main && focusOf(ui.main) == ui.commandEdit;
                },
                Millis(5000));
            keyUp(VK_SHIFT);
            keyUp(VK_CONTROL);
        }
        ASSERT_TRUE(back) << "the hot key did not bring Tilewick back";
        ASSERT_NO_FATAL_FAILURE(typeCapitalAndCheck("hot key " + std::to_string(round)));
    }
}

// SendInput with KEYEVENTF_UNICODE, as on-screen keyboards and password
// managers type: VK_PACKET key-downs whose characters only Tilewick's own
// TranslateMessage knows.
TEST_F(BroadcastTest, UnicodeInputArrivesAsItsCharactersAndNeverAsAPacketKey) {
    ASSERT_NO_FATAL_FAILURE(startWith(3, 2));
    const std::wstring text = L"é日本語ü€\U0001F600";
    typeText(text);
    tapKey(VK_RETURN);
    std::vector<std::string> expected;
    for (wchar_t c : text)
        expected.push_back(chr(c));
    expected.push_back(down(VK_RETURN));
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(keysAre(*terminals[i], expected)) << i;
    EXPECT_TRUE(keys(*terminals[2]).empty()) << "an unselected terminal got keys";
    EXPECT_TRUE(textIs(ui.commandEdit, L""));
}

TEST_F(BroadcastTest, AClosedTerminalIsPassedOverInSilence) {
    ASSERT_NO_FATAL_FAILURE(startWith(3, 3));
    HWND gone = terminals[1]->hwnd();
    terminals[1]->process().terminate();
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(gone); }));
    tapKey('Q');
    tapKey('W');  // a warning after Q would have taken this key
    for (int i : {0, 2})
        EXPECT_TRUE(keysAre(*terminals[i], {down('Q'), down('W')})) << i;
    EXPECT_EQ(popup(kWarningCaption), nullptr);
}

TEST_F(BroadcastTest, F5RefreshesButShiftF5AndNoAltKeyIsForwarded) {
    ASSERT_NO_FATAL_FAILURE(startWith(2, 2));
    tapKey(VK_F5);
    tapKey(VK_F5, {VK_SHIFT});
    tapKey('X', {VK_MENU});
    tapKey('Q');  // a marker: everything before it has been handled
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(keysAre(*terminals[i], {down(VK_SHIFT), down(VK_F5), down('Q')})) << i;
}

TEST_F(BroadcastTest, AMinimisedTerminalStopsTheKeyWithOneWarningUntilArranged) {
    ASSERT_NO_FATAL_FAILURE(startWith(3, 3, {{2, L"min"}}));
    tapKey('Z');
    HWND box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = popup(kWarningCaption)) != nullptr; }));
    SetForegroundWindow(box);
    tapKey(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return popup(kWarningCaption) == nullptr; }));
    for (auto& t : terminals)
        EXPECT_TRUE(keys(*t).empty());

    gestures::alt('L');
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    tapKey('Z');
    for (auto& t : terminals)
        EXPECT_TRUE(keysAre(*t, {down('Z')}));
    EXPECT_EQ(popup(kWarningCaption), nullptr);
}

TEST_F(BroadcastTest, ASingleLinePasteReachesEveryTerminalInOrderWithoutAsking) {
    ASSERT_NO_FATAL_FAILURE(startWith(3, 3));
    setClipboardText(L"uptime");
    click(centreOf(ui.commandEdit), true);
    for (auto& t : terminals) {
        ASSERT_TRUE(waitUntil([&] { return t->events("rup").size() == 1; }));
        auto up = t->events("rup")[0];
        EXPECT_EQ(up.paste, L"uptime");
        EXPECT_EQ(t->events("rdown").size(), 1u);
    }
    EXPECT_EQ(popup(kConfirmCaption), nullptr);
}

TEST_F(BroadcastTest, AMultiLinePasteAsksFirstAndOnlyOkPastes) {
    ASSERT_NO_FATAL_FAILURE(startWith(2, 2));
    setClipboardText(L"cd /tmp\r\nls");
    // Cancel by Escape, by Enter in the text, and by the close box: nothing pasted.
    for (int way = 0; way < 3; ++way) {
        click(centreOf(ui.commandEdit), true);
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = popup(kConfirmCaption)) != nullptr; }));
        EXPECT_EQ(windowText(GetDlgItem(dialog, 111)), L"cd /tmp\r\nls");
        if (way == 0) {
            tapKey(VK_ESCAPE);
        } else if (way == 1) {
            tapKey(VK_RETURN);
        } else {
            RECT r = windowRect(dialog);
            click({r.right - 12, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 3});
        }
        ASSERT_TRUE(waitUntil([&] { return popup(kConfirmCaption) == nullptr; })) << way;
        ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    }
    for (auto& t : terminals)
        EXPECT_TRUE(t->events("rup").empty());

    click(centreOf(ui.commandEdit), true);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = popup(kConfirmCaption)) != nullptr; }));
    click(centreOf(GetDlgItem(dialog, IDOK)));
    for (auto& t : terminals) {
        ASSERT_TRUE(waitUntil([&] { return t->events("rup").size() == 1; }));
        EXPECT_EQ(t->events("rup")[0].paste, L"cd /tmp\r\nls");
    }
}

TEST_F(BroadcastTest, WithConfirmationOffAMultiLinePasteGoesStraightThrough) {
    std::ofstream(narrow(documentsDir() + L"\\twk.ini"), std::ios::binary)
        << "[BASE]\r\npasteConfirm = FALSE\r\n";
    ASSERT_NO_FATAL_FAILURE(startWith(2, 2));
    setClipboardText(L"a\nb");
    gestures::alt('V');
    for (auto& t : terminals)
        ASSERT_TRUE(waitUntil([&] { return t->events("rup").size() == 1; }));
    EXPECT_EQ(popup(kConfirmCaption), nullptr);
}

TEST_F(BroadcastTest, NothingIsPastedFromTheFilterFieldOrFromAnEmptyClipboard) {
    ASSERT_NO_FATAL_FAILURE(startWith(2, 2));
    setClipboardText(L"date");
    click(centreOf(ui.filterEdit));
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.filterEdit; }));
    gestures::alt('V');
    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    CloseClipboard();
    gestures::alt('I');
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    gestures::alt('V');
    tapKey('Q');  // marker: the paste commands have been handled
    for (auto& t : terminals) {
        ASSERT_TRUE(keysAre(*t, {down('Q')}));
        EXPECT_TRUE(t->events("rdown").empty());
    }
    // The clipboard is free for other programs afterwards.
    EXPECT_TRUE(waitUntil([] {
        if (!OpenClipboard(nullptr))
            return false;
        CloseClipboard();
        return true;
    }));
}

TEST_F(BroadcastTest, HideOthersMinimisesExactlyTheUnselectedOnesEvenWhenFilteredOut) {
    ASSERT_NO_FATAL_FAILURE(startWithTitles({L"app1", L"app2", L"db1", L"db2", L"web1"}, 2));
    click(centreOf(ui.filterEdit));
    typeText(L"app");  // the three unselected ones are filtered out of the list
    ASSERT_TRUE(listShows({L"app1", L"app2"}));
    click(centreOf(ui.hideOthersButton));
    for (int i = 0; i < 5; ++i) {
        const UINT expected = i < 2 ? SW_SHOWNORMAL : SW_SHOWMINIMIZED;
        EXPECT_TRUE(waitUntil([&] { return placement(terminals[i]->hwnd()).showCmd == expected; }))
            << "terminal " << i;
    }
    EXPECT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
}

TEST_F(BroadcastTest, DoubleClickOnARowRaisesItsTerminalThenTilewickComesBack) {
    ASSERT_NO_FATAL_FAILURE(startWith(3, 0));
    const auto activations = [&](int i) {
        int n = 0;
        for (const auto& e : terminals[i]->events("activate"))
            n += LOWORD(e.wp) != WA_INACTIVE;
        return n;
    };
    const int before[] = {activations(0), activations(1), activations(2)};
    doubleClick(gestures::rowPoint(ui.windowList, 1));
    // The first click selects the row alone; the double-click activates its terminal only.
    EXPECT_TRUE(waitUntil([&] { return listMarks(ui.windowList) == std::vector<bool>{0, 1, 0}; }));
    EXPECT_TRUE(waitUntil([&] { return activations(1) > before[1]; }))
        << readFile(terminals[1]->logPath());
    // After the pause Tilewick takes the foreground back.
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    EXPECT_EQ(activations(0), before[0]);
    EXPECT_EQ(activations(2), before[2]);
    EXPECT_TRUE(textIs(ui.countLabel, L"選択ウィンドウ数：  1  "));
}

TEST_F(BroadcastTest, FlashLeavesTheFocusInTheCommandField) {
    ASSERT_NO_FATAL_FAILURE(startWith(2, 1));
    click(centreOf(ui.filterEdit));
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.filterEdit; }));
    gestures::alt('B');
    EXPECT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
}

}  // namespace
