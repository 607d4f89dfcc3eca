// Arranging terminals into a grid, through the button and the shortcuts.
#include "fixture.h"
#include "gestures.h"

#include <algorithm>
#include <map>

using namespace bench;

namespace {

class ArrangeTest : public TilewickBench {};

TEST_F(ArrangeTest, FourTerminalsEndRestoredInTheirCellsAndTilewickInFront) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(4, {{2, L"max"}, {3, L"min"}}));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3", L"t4"}));
    gestures::activate(ui.main);
    gestures::alt('A');
    ASSERT_TRUE(textIs(ui.columnsEdit, L"2"));
    ASSERT_TRUE(textIs(ui.rowsEdit, L"2"));

    click(centreOf(ui.arrangeButton));
    const auto grid = gridCells(gestures::monitorRects().at(0), 2, 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(restoredIn(terminals[i]->hwnd(), grid[i])) << "terminal t" << i + 1;
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
}

TEST_F(ArrangeTest, SelectionOrderIsRowOrderWhateverTheClickOrder) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(3));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3"}));
    gestures::activate(ui.main);
    ASSERT_TRUE(gestures::selectRows(ui.windowList, {2, 0}));
    ASSERT_TRUE(textIs(ui.countLabel, L"選択ウィンドウ数：  2  "));
    gestures::alt('L');
    // Two windows, full screen: 2 × 2; t1 (row 0) takes the first cell.
    const auto grid = gridCells(gestures::monitorRects().at(0), 2, 2);
    EXPECT_TRUE(restoredIn(terminals[0]->hwnd(), grid[0]));
    EXPECT_TRUE(restoredIn(terminals[2]->hwnd(), grid[1]));
}

TEST_F(ArrangeTest, AltLeftProposesOneColumnAndArrangesInTheLeftHalf) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(3));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3"}));
    gestures::activate(ui.main);
    gestures::alt('A');
    // Numbers typed by hand give way to the proposal of the area shortcut.
    click(centreOf(ui.columnsEdit));
    tapKey(VK_END);
    tapKey(VK_BACK);
    typeText(L"3");
    ASSERT_TRUE(textIs(ui.columnsEdit, L"3"));
    gestures::alt(VK_LEFT);
    EXPECT_TRUE(waitUntil([&] { return comboSelection(ui.areaCombo) == 1; }));
    EXPECT_TRUE(textIs(ui.columnsEdit, L"1"));
    EXPECT_TRUE(textIs(ui.rowsEdit, L"4"));
    RECT left = gestures::monitorRects().at(0);
    left.right = left.left + (left.right - left.left) / 2;
    const auto grid = gridCells(left, 1, 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(restoredIn(terminals[i]->hwnd(), grid[i])) << "terminal t" << i + 1;
}

TEST_F(ArrangeTest, ArrangeWithAnEmptyColumnsFieldMovesNothingAndKeepsRunning) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(2));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2"}));
    gestures::activate(ui.main);
    gestures::alt('A');
    const RECT before = placement(terminals[0]->hwnd()).rcNormalPosition;
    click(centreOf(ui.columnsEdit));
    tapKey(VK_END);
    tapKey(VK_BACK);
    ASSERT_TRUE(textIs(ui.columnsEdit, L""));
    gestures::alt('L');
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    const RECT after = placement(terminals[0]->hwnd()).rcNormalPosition;
    EXPECT_TRUE(EqualRect(&before, &after)) << show(after);
    EXPECT_TRUE(bench.tilewick()->running());
}

}  // namespace

namespace {

BOOL CALLBACK addDeviceName(HMONITOR monitor, HDC, LPRECT, LPARAM names) {
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(info.szDevice);
    return TRUE;
}

std::vector<std::wstring> deviceNames() {
    std::vector<std::wstring> names;
    EnumDisplayMonitors(nullptr, nullptr, addDeviceName, reinterpret_cast<LPARAM>(&names));
    return names;
}

class DisplayListTest : public TilewickTest {};

// Wine's virtual desktop offers one display, so the user cannot pick a second
// one here: the test moves the selection off the first from outside (to the
// second display where there is one, else to none) before the display change.
// The host tests pick a second display of the fake desktop the same way.
TEST_F(DisplayListTest, ListsEveryDisplayByDeviceNameAndADisplayChangeKeepsTheChosenOne) {
    const auto names = deviceNames();
    ASSERT_FALSE(names.empty());
    EXPECT_TRUE(waitUntil([&] { return comboItems(ui.displayCombo) == names; }))
        << show(comboItems(ui.displayCombo)) << " instead of " << show(names);
    EXPECT_EQ(comboSelection(ui.displayCombo), 0);
    const int other = names.size() > 1 ? 1 : -1;
    SendMessageW(ui.displayCombo, CB_SETCURSEL, other, 0);
    ASSERT_EQ(comboSelection(ui.displayCombo), other);
    // A display change rebuilds the list: each display once, the chosen one
    // still chosen, or the first when none was.
    SendMessageW(ui.main, WM_DISPLAYCHANGE, 32, MAKELPARAM(1600, 1000));
    EXPECT_EQ(comboItems(ui.displayCombo), names);
    EXPECT_EQ(comboSelection(ui.displayCombo), other >= 0 ? other : 0);
}

}  // namespace

namespace {

class BandTest : public TilewickBench {};

// What the user sees on the terminals that will receive the typing: an orange
// ring on each, following it wherever anyone moves it, gone with it.
TEST_F(BandTest, SelectedTerminalsWearBandsThatFollowThem) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(4));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3", L"t4"}));
    std::vector<HWND> t;
    for (const auto& terminal : terminals)
        t.push_back(terminal->hwnd());
    gestures::activate(ui.main);
    gestures::alt('A');
    gestures::alt('L');
    const auto grid = gridCells(gestures::monitorRects().at(0), 2, 2);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(restoredIn(t[i], grid[i])) << "terminal t" << i + 1;
    ASSERT_TRUE(bandsExactlyOn(t));
    for (HWND terminal : t) {
        const HWND band = bandOver(terminal);
        EXPECT_TRUE(ringDrawnAround(windowRect(terminal))) << show(windowRect(terminal));
        EXPECT_EQ(style(band) & WS_DISABLED, WS_DISABLED);
        const LONG wanted = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
        EXPECT_EQ(exStyle(band) & wanted, wanted);
        // Click-through: the point on the ring belongs to the terminal.
        const RECT r = windowRect(terminal);
        EXPECT_EQ(WindowFromPoint({r.right - 2, (r.top + r.bottom) / 2}), terminal);
    }
    EXPECT_EQ(listRows(ui.windowList).size(), 4u) << "a band joined the list";
    screenshot(L"bands-arranged");

    // Moved, minimised, restored, hidden and shown by someone else.
    SetWindowPos(t[0], nullptr, 100, 120, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(bandsExactlyOn(t)) << "after a move";
    ShowWindow(t[1], SW_MINIMIZE);
    EXPECT_TRUE(bandsExactlyOn({t[0], t[2], t[3]})) << "after minimising t2";
    ShowWindow(t[1], SW_RESTORE);
    EXPECT_TRUE(bandsExactlyOn(t)) << "after restoring t2";
    ShowWindow(t[2], SW_HIDE);
    EXPECT_TRUE(bandsExactlyOn({t[0], t[1], t[3]})) << "after hiding t3";
    EXPECT_NE(className(GetForegroundWindow()), L"TilewickBand");
    ShowWindow(t[2], SW_SHOWNA);
    EXPECT_TRUE(bandsExactlyOn(t)) << "after showing t3";

    // Clicked and restored while Tilewick is not in front: every band stays
    // directly above its terminal.
    click(centreOf(t[0]));
    ShowWindow(t[1], SW_MINIMIZE);
    EXPECT_TRUE(bandsExactlyOn({t[0], t[2], t[3]})) << "after minimising t2 again";
    ShowWindow(t[1], SW_RESTORE);
    EXPECT_TRUE(bandsExactlyOn(t)) << "after restoring t2 again";
    EXPECT_TRUE(waitUntil([&] {
        return std::all_of(t.begin(), t.end(), [&](HWND terminal) {
            const std::vector<HWND> edges = bandEdgesOver(terminal);
            return std::find(edges.begin(), edges.end(), GetWindow(terminal, GW_HWNDPREV)) !=
                   edges.end();
        });
    })) << "a band is not directly above its terminal";

    // A window brought over a terminal covers its band too: one arranged by
    // Tilewick, one restored while Tilewick was not in front.
    for (const int covered : {3, 1}) {
        const RECT under = windowRect(t[covered]);
        const HWND cover =
            CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE, under.left - 20,
                            under.top - 20, under.right - under.left + 40,
                            under.bottom - under.top + 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(cover);
        SetForegroundWindow(cover);
        EXPECT_TRUE(waitUntil([&] {
            MSG m;  // the cover paints itself through this thread
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&m);
            return edgesInBandColour(under) == 0;
        })) << edgesInBandColour(under)
            << " edges of t" << covered + 1 << "'s band still show over the covering window";
        screenshot(covered == 3 ? L"bands-covered" : L"bands-covered-restored");
        DestroyWindow(cover);
    }

    // Deselected with Ctrl+click, closed, refreshed away.
    gestures::activate(ui.main);
    ASSERT_TRUE(gestures::selectRows(ui.windowList, {0, 1, 2}));
    EXPECT_TRUE(bandsExactlyOn({t[0], t[1], t[2]})) << "after deselecting t4";
    EXPECT_EQ(shownBands().size(), 3u * 4) << "a deselected band still shows";
    PostMessageW(t[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(bandsExactlyOn({t[1], t[2]})) << "after closing t1";
    EXPECT_NE(className(GetForegroundWindow()), L"TilewickBand");
    gestures::activate(ui.main);
    tapKey(VK_F5);
    ASSERT_TRUE(listShows({L"t2", L"t3", L"t4"}));
    EXPECT_TRUE(bandsExactlyOn({t[1], t[2]})) << "after F5";

    // Compact mode keeps them; exit takes them all.
    gestures::alt('E');
    EXPECT_TRUE(
        waitUntil([&] { return windowRect(ui.main).bottom - windowRect(ui.main).top < 200; }));
    EXPECT_TRUE(bandsExactlyOn({t[1], t[2]})) << "in compact mode";
    PostMessageW(ui.main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    EXPECT_TRUE(bench.tilewick()->waitForExit(&code));
    EXPECT_TRUE(topWindowsOfClass(L"TilewickBand").empty());
}

}  // namespace
