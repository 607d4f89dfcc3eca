// Arranging terminals into a grid, through the button and the shortcuts.
#include "fixture.h"
#include "gestures.h"

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
TEST_F(DisplayListTest, ListsEveryDisplayByDeviceNameAndADisplayChangeSelectsTheFirstAgain) {
    const auto names = deviceNames();
    ASSERT_FALSE(names.empty());
    EXPECT_TRUE(waitUntil([&] { return comboItems(ui.displayCombo) == names; }))
        << show(comboItems(ui.displayCombo)) << " instead of " << show(names);
    EXPECT_EQ(comboSelection(ui.displayCombo), 0);
    const int other = names.size() > 1 ? 1 : -1;
    SendMessageW(ui.displayCombo, CB_SETCURSEL, other, 0);
    ASSERT_EQ(comboSelection(ui.displayCombo), other);
    // A display change rebuilds the list: each display once, the first selected.
    SendMessageW(ui.main, WM_DISPLAYCHANGE, 32, MAKELPARAM(1600, 1000));
    EXPECT_EQ(comboItems(ui.displayCombo), names);
    EXPECT_EQ(comboSelection(ui.displayCombo), 0);
}

}  // namespace
