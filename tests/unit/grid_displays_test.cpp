#include "arrange/displays.h"
#include "arrange/dpi.h"
#include "arrange/grid.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

namespace {

using Strings = std::vector<std::string>;

// The proposal as Tilewick documents it to users: for each band of selected
// windows (up to and including `upTo`), columns x rows for the tall areas
// (left/right half), the wide areas (top/bottom half) and the full screen.
struct Band {
    int upTo;
    const char* tall;
    const char* wide;
    const char* full;
};
constexpr Band kProposal[] = {
    {2, "1x2", "2x1", "2x2"},  {4, "1x4", "2x2", "2x2"},  {6, "2x3", "2x3", "2x3"},
    {8, "2x4", "2x4", "2x4"},  {10, "2x5", "2x5", "2x5"}, {12, "2x6", "3x4", "3x4"},
    {16, "4x4", "4x4", "4x4"}, {18, "2x9", "3x6", "3x6"}, {20, "4x5", "4x5", "4x5"},
    {21, "3x7", "3x7", "3x7"}, {24, "4x6", "4x6", "4x6"}, {27, "3x9", "3x9", "3x9"},
    {30, "5x6", "5x6", "5x6"}, {32, "4x8", "4x8", "4x8"}, {35, "5x7", "5x7", "5x7"},
    {36, "6x6", "6x6", "6x6"}, {40, "5x8", "5x8", "5x8"}, {42, "6x7", "6x7", "6x7"},
    {45, "5x9", "5x9", "5x9"}, {48, "6x8", "6x8", "6x8"}, {54, "6x9", "6x9", "6x9"},
};

const char* expectedFor(int n, int area) {
    for (const Band& b : kProposal)
        if (n <= b.upTo)
            return area == 1 || area == 3 ? b.tall : area == 2 || area == 4 ? b.wide : b.full;
    return nullptr;
}

class GridTest : public AppTest {
protected:
    void select(int n) {
        app().selectedWindows.assign(static_cast<std::size_t>(n), WindowRecord{});
        for (int i = 0; i < n; ++i)
            app().selectedWindows[i].handle = reinterpret_cast<platform::WindowHandle>(i + 1);
    }
    void setArea(int area) { desk()[app().controls.areaCombo].comboSelection = area; }
    std::string fields() {
        return text(app().controls.columnsEdit) + "x" + text(app().controls.rowsEdit);
    }
};

TEST_F(GridTest, EveryBandForEveryAreaGroup) {
    // -1 is CB_ERR (no selection); 5 and 7 are outside the items: like full screen.
    for (int area : {-1, 0, 1, 2, 3, 4, 5, 7}) {
        for (int n = 0; n <= 54; ++n) {
            select(n);
            setArea(area);
            platform::setWindowText(app().controls.columnsEdit, u"");
            platform::setWindowText(app().controls.rowsEdit, u"");
            clearCalls();
            proposeGrid();
            EXPECT_EQ(fields(), expectedFor(n, area)) << "n=" << n << " area=" << area;
            // columnsEdit first, then rowsEdit, one digit each.
            const auto writes = desk().callsFor("setWindowText");
            ASSERT_EQ(writes.size(), 2u);
            EXPECT_EQ(writes[0].rfind("setWindowText " + tag(app().controls.columnsEdit), 0), 0u);
            EXPECT_EQ(writes[1].rfind("setWindowText " + tag(app().controls.rowsEdit), 0), 0u);
        }
    }
}

TEST_F(GridTest, ProposalAlwaysHoldsEverySelectedWindow) {
    for (int area = -1; area <= 5; ++area)
        for (int n = 0; n <= 54; ++n) {
            const auto grid = gridFor(n, area);
            ASSERT_TRUE(grid.has_value());
            EXPECT_GE(grid->columns * grid->rows, n);
            EXPECT_GE(grid->columns, 1);
            EXPECT_LE(grid->columns, 6);
            EXPECT_GE(grid->rows, 1);
            EXPECT_LE(grid->rows, 9);
        }
}

TEST_F(GridTest, FiftyFiveAndMoreKeepWhatTheFieldsHold) {
    for (int n : {55, 56, 100, 1000}) {
        for (int area : {-1, 0, 1, 2, 3, 4}) {
            select(n);
            setArea(area);
            desk()[app().controls.columnsEdit].text = u"7";
            desk()[app().controls.rowsEdit].text = u"12";
            clearCalls();
            proposeGrid();
            EXPECT_EQ(fields(), "7x12") << "n=" << n;
            EXPECT_TRUE(desk().callsFor("setWindowText").empty());
            EXPECT_FALSE(gridFor(n, area).has_value());
        }
    }
}

TEST_F(GridTest, SelectionChangeReproposesForCurrentArea) {
    discover({u"a", u"b"});
    setArea(2);
    selectAll();
    EXPECT_EQ(fields(), "2x1");
    setArea(1);
    proposeGrid();  // CBN_SELCHANGE of areaCombo
    EXPECT_EQ(fields(), "1x2");
    platform::setWindowText(app().controls.columnsEdit, u"3");
    invertSelection();  // nothing selected: n = 0 row of the left half
    EXPECT_EQ(fields(), "1x2");
}

// --- Displays --------------------------------------------------------------------

class DisplaysTest : public AppTest {
protected:
    void addMonitor(const std::u16string& device, platform::Rect area) {
        desk().monitors.push_back({device, area});
    }
    Strings comboItems() {
        Strings out;
        for (const auto& r : desk()[app().controls.displayCombo].rows)
            out.push_back(fake::narrow(r));
        return out;
    }
};

TEST_F(DisplaysTest, ListsDisplaysInEnumerationOrderAndSelectsTheFirst) {
    addMonitor(u"\\\\.\\DISPLAY2", {1920, 0, 3200, 1024});
    addMonitor(u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080});
    addMonitor(u"\\\\.\\DISPLAY3", {-1280, -200, 0, 824});
    refreshDisplays();
    EXPECT_EQ(comboItems(), (Strings{"\\\\.\\DISPLAY2", "\\\\.\\DISPLAY1", "\\\\.\\DISPLAY3"}));
    EXPECT_EQ(platform::comboSelection(app().controls.displayCombo), 0);
    ASSERT_EQ(app().monitors.size(), 3u);
    EXPECT_EQ(app().monitors[2].area, (platform::Rect{-1280, -200, 0, 824}));
    EXPECT_EQ(std::u16string(app().monitors[1].deviceName), u"\\\\.\\DISPLAY1");

    Strings lines;
    for (const auto& l : desk().debugLines)
        lines.push_back(fake::narrow(l));
    EXPECT_EQ(lines, (Strings{"3\n", "\\\\.\\DISPLAY2: 1920, 0, 3200, 1024\n",
                              "\\\\.\\DISPLAY1: 0, 0, 1920, 1080\n",
                              "\\\\.\\DISPLAY3: -1280, -200, 0, 824\n"}));
}

// The chosen display stays chosen across a rebuild, found by its name; once
// it has gone, the first is chosen and shown.
TEST_F(DisplaysTest, RefreshRebuildsOnceAndKeepsTheChosenDisplayWhileItExists) {
    addMonitor(u"A", {0, 0, 1920, 1080});
    addMonitor(u"B", {1920, 0, 3840, 1080});
    refreshDisplays();
    platform::comboSelect(app().controls.displayCombo, 1);  // the user picks B
    refreshDisplays();                                      // the taskbar hid, say
    EXPECT_EQ(comboItems(), (Strings{"A", "B"}));
    EXPECT_EQ(app().monitors.size(), 2u);
    EXPECT_EQ(platform::comboSelection(app().controls.displayCombo), 1);
    EXPECT_EQ(desk().debugLines.size(), 6u);  // a count line and two display lines each time

    addMonitor(u"C", {-1280, 0, 0, 1024});
    std::swap(desk().monitors[0], desk().monitors[1]);  // enumerated in another order
    refreshDisplays();
    EXPECT_EQ(comboItems(), (Strings{"B", "A", "C"}));
    EXPECT_EQ(platform::comboSelection(app().controls.displayCombo), 0) << "B, by its name";

    desk().monitors.erase(desk().monitors.begin());  // B is removed
    refreshDisplays();
    EXPECT_EQ(comboItems(), (Strings{"A", "C"}));
    EXPECT_EQ(app().monitors.size(), 2u);
    EXPECT_EQ(platform::comboSelection(app().controls.displayCombo), 0);
}

TEST_F(DisplaysTest, NoDisplayLeavesComboEmptyWithoutSelection) {
    desk()[app().controls.displayCombo].rows = {u"old"};
    desk()[app().controls.displayCombo].comboSelection = 0;
    refreshDisplays();
    EXPECT_TRUE(comboItems().empty());
    EXPECT_EQ(platform::comboSelection(app().controls.displayCombo), -1);
    EXPECT_TRUE(app().monitors.empty());
    EXPECT_EQ(fake::narrow(desk().debugLines.at(0)), "0\n");
}

}  // namespace

// Lengths given at 96 DPI, at the scales Windows offers, and what a bad
// answer from the window system falls back to.
TEST(DpiTest, ScalesLengthsAndFallsBackFromBadReadings) {
    struct Case {
        int length;
        unsigned dpi;
        int expected;
    } cases[] = {
        {420, 96, 420}, {420, 144, 630}, {340, 144, 510}, {3, 120, 4},  // 3.75
        {3, 144, 5},                                                    // 4.5 rounds up
        {7, 192, 14},   {-7, 144, -11},  {0, 144, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scaleToDpi(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
    EXPECT_EQ(usableDpi(0), 96u);
    EXPECT_EQ(usableDpi(100000), 96u);
    EXPECT_EQ(usableDpi(144), 144u);
}
