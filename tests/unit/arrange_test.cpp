#include "arrange/arrange.h"
#include "arrange/displays.h"
#include "arrange/window_actions.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

#include <algorithm>
#include <numeric>

namespace {

using platform::Rect;
using Strings = std::vector<std::string>;
using Rects = std::vector<Rect>;

class ArrangeTest : public AppTest {
protected:
    // n terminal windows, all selected in row order, on one display.
    std::vector<platform::WindowHandle> setUpDesk(Rect display, int n) {
        desk().monitors.push_back({u"\\\\.\\DISPLAY1", display});
        refreshDisplays();
        std::vector<std::u16string> titles;
        for (int i = 0; i < n; ++i)
            titles.push_back(u"t" + std::u16string(1, static_cast<char16_t>(u'A' + i / 26)) +
                             std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
        auto handles = discover(titles);
        selectAll();
        return handles;
    }
    void setGrid(const std::u16string& columns, const std::u16string& rows, int area = 0) {
        desk()[app().controls.areaCombo].comboSelection = area;
        desk()[app().controls.columnsEdit].text = columns;
        desk()[app().controls.rowsEdit].text = rows;
    }
    // The normal rectangle each selected window ends with, in selection order.
    Rects placed() {
        Rects out;
        for (const auto& r : app().selectedWindows)
            out.push_back(desk()[r.handle].placement.normalPosition);
        return out;
    }
    std::vector<std::string> movedWindowCalls() {
        std::vector<std::string> out;
        for (const auto& c : desk().calls)
            for (const char* op : {"setWindowPlacement", "moveToFrontAt", "setWindowBounds"})
                if (c.rfind(op, 0) == 0)
                    out.push_back(c);
        return out;
    }
    std::vector<std::string> lastCalls(std::size_t n) {
        const auto& c = desk().calls;
        return std::vector<std::string>(c.end() - static_cast<long>(std::min(n, c.size())),
                                        c.end());
    }
    static Rects gridCellsOf(Rect area, int cols, int rows) {
        Rects out;
        const int w = (area.right - area.left) / cols, h = (area.bottom - area.top) / rows;
        for (int k = 0; k < cols * rows; ++k)
            out.push_back({area.left + k % cols * w, area.top + k / cols * h,
                           area.left + (k % cols + 1) * w, area.top + (k / cols + 1) * h});
        return out;
    }
    Strings mainWindowTakesForeground() {
        return {"sleep 150", "setActiveWindow " + tag(app().mainWindow),
                "setForegroundWindow " + tag(app().mainWindow)};
    }
};

TEST_F(ArrangeTest, CellsForDisplaysAreasAndGrids) {
    struct Case {
        const char* name;
        Rect display;
        int area;
        std::u16string columns, rows;
        int windows;
        Rects cells;
    };
    const Case cases[] = {
        {"full 2x2, four windows",
         {0, 0, 1920, 1080},
         0,
         u"2",
         u"2",
         4,
         {{0, 0, 960, 540}, {960, 0, 1920, 540}, {0, 540, 960, 1080}, {960, 540, 1920, 1080}}},
        {"right half 1x4, three windows, fourth cell empty",
         {0, 0, 1920, 1080},
         3,
         u"1",
         u"4",
         3,
         {{960, 0, 1920, 270}, {960, 270, 1920, 540}, {960, 540, 1920, 810}}},
        {"left half 1x2",
         {0, 0, 1920, 1080},
         1,
         u"1",
         u"2",
         2,
         {{0, 0, 960, 540}, {0, 540, 960, 1080}}},
        {"bottom half 2x1",
         {0, 0, 1920, 1080},
         4,
         u"2",
         u"1",
         2,
         {{0, 540, 960, 1080}, {960, 540, 1920, 1080}}},
        {"top half 2x1", {0, 0, 1920, 1080}, 2, u"2", u"1", 1, {{0, 0, 960, 540}}},
        {"2x2 with five windows adds rows: 5 rows of 216",
         {0, 0, 1920, 1080},
         0,
         u"2",
         u"2",
         5,
         {{0, 0, 960, 216},
          {960, 0, 1920, 216},
          {0, 216, 960, 432},
          {960, 216, 1920, 432},
          {0, 432, 960, 648}}},
        {"1000 px, three columns, pixel 999 uncovered",
         {0, 0, 1000, 600},
         0,
         u"3",
         u"1",
         3,
         {{0, 0, 333, 600}, {333, 0, 666, 600}, {666, 0, 999, 600}}},
        {"display left of the primary",
         {-1280, 0, 0, 1024},
         0,
         u"2",
         u"2",
         1,
         {{-1280, 0, -640, 512}}},
        {"columns 2, rows empty, three windows: three rows",
         {0, 0, 1920, 1080},
         0,
         u"2",
         u"",
         3,
         {{0, 0, 960, 360}, {960, 0, 1920, 360}, {0, 360, 960, 720}}},
        {"odd width: right half starts after the left half",
         {0, 0, 1001, 100},
         3,
         u"1",
         u"1",
         1,
         {{500, 0, 1000, 100}}},
        {"area without selection counts as full screen",
         {100, 50, 300, 150},
         -1,
         u" +1",
         u"1x",
         1,
         {{100, 50, 300, 150}}},
    };
    for (const auto& c : cases) {
        SetUp();
        setUpDesk(c.display, c.windows);
        setGrid(c.columns, c.rows, c.area);
        arrangeWindows();
        EXPECT_EQ(placed(), c.cells) << c.name;
        for (std::size_t i = 0; i < c.cells.size(); ++i)
            EXPECT_EQ(desk()[app().selectedWindows[i].handle].bounds, c.cells[i]) << c.name;
        EXPECT_EQ(fake::narrow(desk()[app().controls.rowsEdit].text), fake::narrow(c.rows))
            << "the rows field is never rewritten: " << c.name;
    }
}

TEST_F(ArrangeTest, FiftyFiveWindowsOnSixByNineGetNineteenRows) {
    setUpDesk({0, 0, 1920, 1080}, 55);
    setGrid(u"6", u"9");
    arrangeWindows();
    const Rects cells = placed();
    ASSERT_EQ(cells.size(), 55u);
    // 1080 / 19 = 56 px per row, 1920 / 6 = 320 px per column.
    EXPECT_EQ(cells[0], (Rect{0, 0, 320, 56}));
    EXPECT_EQ(cells[6], (Rect{0, 56, 320, 112}));
    EXPECT_EQ(cells[54], (Rect{0, 9 * 56, 320, 10 * 56}));
}

TEST_F(ArrangeTest, PerWindowSequenceWhenPlacementIsAccepted) {
    auto h = setUpDesk({0, 0, 1920, 1080}, 2);
    desk()[h[1]].placement.showCmd = platform::kShowMaximized;
    setGrid(u"2", u"1");
    clearCalls();
    arrangeWindows();
    const std::string a = tag(h[0]), b = tag(h[1]), main = tag(app().mainWindow);
    EXPECT_EQ(calls(), (Strings{
                           "setActiveWindow " + a,
                           "getWindowPlacement " + a,
                           "setWindowPlacementAsync " + a + " 0,0,960,1080 show 1",
                           "moveToFrontAtAsync " + a + " 0,0",
                           "showWindowAsync " + a + " 9",
                           "setWindowBoundsAsync " + a + " 0,0,960,1080",
                           "setForegroundWindow " + a,
                           "setActiveWindow " + b,
                           "getWindowPlacement " + b,
                           // the show state is kept: maximised until the restore
                           "setWindowPlacementAsync " + b + " 960,0,1920,1080 show 3",
                           "moveToFrontAtAsync " + b + " 960,0",
                           "showWindowAsync " + b + " 9",
                           "setWindowBoundsAsync " + b + " 960,0,1920,1080",
                           "setForegroundWindow " + b,
                           "sleep 150",
                           "setActiveWindow " + main,
                           "setForegroundWindow " + main,
                       }));
    EXPECT_EQ(desk()[h[1]].placement.showCmd, platform::kShowNormal);
    EXPECT_EQ(desk()[h[1]].bounds, (Rect{960, 0, 1920, 1080}));
    EXPECT_EQ(desk().foreground, app().mainWindow);

    Strings lines;
    for (const auto& l : desk().debugLines)
        lines.push_back(fake::narrow(l));
    EXPECT_EQ(Strings(lines.end() - 3, lines.end()),
              (Strings{"0, 0\n", "tAa: 0, 0\n", "tAb: 960, 0\n"}));
}

TEST_F(ArrangeTest, RefusedPlacementIsFollowedBySizeAfterRestore) {
    auto h = setUpDesk({0, 0, 1920, 1080}, 2);
    desk()[h[0]].refusePlacement = true;  // another process's window under Wine
    desk()[h[0]].placement.showCmd = platform::kShowMinimized;
    setGrid(u"2", u"1");
    clearCalls();
    arrangeWindows();
    const std::string a = tag(h[0]);
    const Strings all = calls();
    ASSERT_GE(all.size(), 7u);
    EXPECT_EQ(Strings(all.begin(), all.begin() + 7),
              (Strings{"setActiveWindow " + a, "getWindowPlacement " + a,
                       "setWindowPlacementAsync " + a + " 0,0,960,1080 show 2",
                       "moveToFrontAtAsync " + a + " 0,0", "showWindowAsync " + a + " 9",
                       "setWindowBoundsAsync " + a + " 0,0,960,1080", "setForegroundWindow " + a}));
    EXPECT_EQ(desk()[h[0]].bounds, (Rect{0, 0, 960, 1080}));
    EXPECT_EQ(desk()[h[0]].placement.showCmd, platform::kShowNormal);
    // Every window is sized after its restore, the accepted one too.
    EXPECT_EQ(desk().callsFor("setWindowBounds").size(), 2u);
}

TEST_F(ArrangeTest, ClosedWindowKeepsItsCellEmpty) {
    auto h = setUpDesk({0, 0, 1920, 1080}, 3);
    desk().close(h[1]);
    setGrid(u"3", u"1");
    arrangeWindows();
    EXPECT_EQ(desk()[h[0]].bounds, (Rect{0, 0, 640, 1080}));
    EXPECT_EQ(desk()[h[2]].bounds, (Rect{1280, 0, 1920, 1080}));
}

TEST_F(ArrangeTest, HungWindowsNeverBlockAndTheOthersKeepTheirCellsInOrder) {
    struct Case {
        const char* name;
        int hung;       // position in the selection
        bool reported;  // IsHungAppWindow already says so
    };
    const Case cases[] = {
        {"first, reported hung", 0, true},
        {"middle, reported hung", 1, true},
        {"last, reported hung", 2, true},
        {"first, just stopped answering", 0, false},
        {"middle, just stopped answering", 1, false},
        {"last, just stopped answering", 2, false},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = setUpDesk({0, 0, 1920, 1080}, 3);
        for (auto w : h)
            desk()[w].placement.showCmd = platform::kShowMinimized;
        desk()[h[c.hung]].hung = true;
        desk()[h[c.hung]].hungReported = c.reported;
        setGrid(u"3", u"1");
        clearCalls();
        arrangeWindows();
        EXPECT_EQ(desk().blocked, Strings{}) << c.name;
        const Rects grid = {{0, 0, 640, 1080}, {640, 0, 1280, 1080}, {1280, 0, 1920, 1080}};
        Strings expected;
        for (int i = 0; i < 3; ++i) {
            const auto& w = desk()[h[i]];
            if (i == c.hung) {
                EXPECT_EQ(w.placement.showCmd, platform::kShowMinimized) << c.name;
                EXPECT_EQ(w.bounds, (Rect{0, 0, 640, 480})) << c.name;
            } else {
                EXPECT_EQ(w.placement.showCmd, platform::kShowNormal) << c.name;
                EXPECT_EQ(w.bounds, grid[i]) << c.name;
            }
            if (i != c.hung || !c.reported)
                expected.push_back("moveToFrontAtAsync " + tag(h[i]) + " " +
                                   std::to_string(grid[i].left) + ",0");
        }
        EXPECT_EQ(desk().callsFor("moveToFrontAtAsync"), expected) << c.name;
        if (c.reported) {
            for (const auto& call : calls())
                EXPECT_EQ(call.find(tag(h[c.hung])), std::string::npos) << c.name << ": " << call;
        }
        EXPECT_EQ(lastCalls(3), mainWindowTakesForeground()) << c.name;
        EXPECT_EQ(desk().foreground, app().mainWindow) << c.name;
    }
}

TEST_F(ArrangeTest, NothingMovesWithoutUsableDisplayOrGrid) {
    struct Case {
        const char* name;
        bool withDisplay;
        int displayIndex;  // -2: as the refresh left it
        std::u16string columns, rows;
        int windows;
    };
    const Case cases[] = {
        {"no display listed", false, -2, u"2", u"2", 2},
        {"no display selected", true, -1, u"2", u"2", 2},
        {"display index beyond the list", true, 3, u"2", u"2", 2},
        {"columns 0", true, -2, u"0", u"2", 3},
        {"columns empty", true, -2, u"", u"2", 3},
        {"columns negative", true, -2, u"-2", u"2", 3},
        {"rows end below 1: empty with nothing selected", true, -2, u"2", u"", 0},
        {"rows negative and nothing selected", true, -2, u"2", u"-3", 0},
    };
    for (const auto& c : cases) {
        SetUp();
        std::vector<platform::WindowHandle> h;
        if (c.withDisplay) {
            h = setUpDesk({0, 0, 1920, 1080}, c.windows);
        } else {
            std::vector<std::u16string> titles(static_cast<std::size_t>(c.windows), u"t");
            h = discover(titles);
            selectAll();
            refreshDisplays();
        }
        if (c.displayIndex != -2)
            desk()[app().controls.displayCombo].comboSelection = c.displayIndex;
        setGrid(c.columns, c.rows);
        clearCalls();
        arrangeWindows();
        EXPECT_TRUE(movedWindowCalls().empty()) << c.name;
        EXPECT_EQ(lastCalls(3), mainWindowTakesForeground()) << c.name;
        EXPECT_EQ(desk().foreground, app().mainWindow) << c.name;
        for (auto w : h)
            EXPECT_EQ(desk()[w].bounds, (Rect{0, 0, 640, 480})) << c.name;
    }
}

TEST_F(ArrangeTest, HugeTypedNumbersNeitherDivideByZeroNorAllocateTheGrid) {
    setUpDesk({0, 0, 1920, 1080}, 3);
    for (auto grid : {std::pair<std::u16string, std::u16string>{u"99999", u"99999"},
                      {u"999999999999999999999", u"1"},
                      {u"1", u"999999999999999999999"},
                      {u"2147483647", u"2147483647"}}) {
        setGrid(grid.first, grid.second);
        arrangeWindows();  // building every cell of such a grid would need gigabytes
        EXPECT_EQ(desk().foreground, app().mainWindow);
        EXPECT_EQ(desk().callsFor("moveToFrontAt").size(), 3u);
        clearCalls();
    }
    ArrangeInput in{{0, 0, 1920, 1080}, 0, 99999, 99999, 3};
    const auto cells = arrangeCells(in);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[2], (Rect{0, 0, 0, 0}));  // 1920 / 99999 = 0 px wide
}

TEST_F(ArrangeTest, EmptySelectionMovesNothingButTakesForegroundBack) {
    setUpDesk({0, 0, 1920, 1080}, 0);
    setGrid(u"2", u"2");
    clearCalls();
    arrangeWindows();
    EXPECT_EQ(calls(), mainWindowTakesForeground());
}

TEST_F(ArrangeTest, ParseGridNumber) {
    struct Case {
        std::u16string text;
        int value;
    };
    const Case cases[] = {
        {u"", 0},
        {u"7", 7},
        {u"  12", 12},
        {u"\t3", 3},
        {u"+4", 4},
        {u"-5", -5},
        {u"3x", 3},
        {u"x3", 0},
        {u"- 3", 0},
        {u"007", 7},
        {u"99999", 99999},
        {u"2147483647", 2147483647},
        {u"99999999999999999999", 2147483647},
        {u"-99999999999999999999", -2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseGridNumber(c.text.c_str()), c.value) << fake::narrow(c.text);
}

TEST_F(ArrangeTest, LongTitleDebugLineIsCutToTheBuffer) {
    desk().monitors.push_back({u"D", {0, 0, 800, 600}});
    refreshDisplays();
    const std::u16string title(1023, u'T');
    discover({title});
    selectAll();
    setGrid(u"1", u"1");
    arrangeWindows();
    const std::u16string& line = desk().debugLines.back();
    EXPECT_EQ(line.size(), 259u);
    EXPECT_EQ(line, title.substr(0, 259));
    EXPECT_EQ(desk()[app().selectedWindows[0].handle].bounds, (Rect{0, 0, 800, 600}));
}

TEST_F(ArrangeTest, UsesTheChosenDisplay) {
    desk().monitors.push_back({u"A", {0, 0, 1920, 1080}});
    desk().monitors.push_back({u"B", {1920, -100, 3200, 924}});
    refreshDisplays();
    discover({u"one"});
    selectAll();
    platform::comboSelect(app().controls.displayCombo, 1);
    setGrid(u"1", u"1");
    arrangeWindows();
    EXPECT_EQ(placed(), (Rects{{1920, -100, 3200, 924}}));
    Strings lines;
    for (const auto& l : desk().debugLines)
        lines.push_back(fake::narrow(l));
    EXPECT_EQ(Strings(lines.end() - 2, lines.end()),
              (Strings{"1920, -100\n", "one: 1920, -100\n"}));
}

// What the user sees of a window: its rectangle without the invisible border,
// where the system lets that be read.
Rect visibleFrame(const fake::Window& w) {
    if (!w.frameReadable)
        return w.bounds;
    const Rect& b = w.bounds;
    const Rect& in = w.invisibleBorder;
    return {b.left + in.left, b.top + in.top, b.right - in.right, b.bottom - in.bottom};
}

TEST_F(ArrangeTest, EachVisibleFrameFillsItsCellWhateverTheScaleAndBorder) {
    const Rect laptop = {0, 0, 1920, 1080}, wide = {1920, 0, 4800, 1620};
    struct Case {
        const char* name;
        unsigned fromDpi, toDpi;  // the terminals start on the laptop, go to the wide display
        bool followsDpi, frameReadable, refusePlacement;
        Rect border;  // at the DPI the terminal starts at
        bool sameDisplay;
    };
    const Case cases[] = {
        {"7 px borders, one display at 96", 96, 96, false, true, false, {7, 0, 7, 7}, true},
        {"7 px borders, one display at 120", 120, 120, true, true, false, {9, 0, 9, 9}, true},
        {"no readable frame (Wine): the rectangle is the frame",
         96,
         96,
         false,
         false,
         false,
         {7, 0, 7, 7},
         true},
        {"a frame reading larger than the window is no border",
         96,
         96,
         false,
         true,
         false,
         {-3, 0, -3, -3},
         true},
        {"resizes itself from 96 to 144, border read at 144",
         96,
         144,
         true,
         true,
         false,
         {7, 0, 7, 7},
         false},
        {"resizes itself from 144 to 96", 144, 96, true, true, false, {11, 0, 11, 11}, false},
        {"resizes itself from 96 to 192, no readable frame",
         96,
         192,
         true,
         false,
         false,
         {},
         false},
        {"resizes itself, placement refused", 96, 144, true, false, true, {}, false},
    };
    for (const auto& c : cases) {
        SetUp();
        desk().monitors.push_back({u"\\\\.\\DISPLAY1", laptop, {}, c.fromDpi});
        if (!c.sameDisplay)
            desk().monitors.push_back({u"\\\\.\\DISPLAY2", wide, {}, c.toDpi});
        refreshDisplays();
        auto h = discover({u"a", u"b", u"c"});
        selectAll();
        for (auto w : h) {
            auto& t = desk()[w];
            t.dpi = c.fromDpi;
            t.followsDpi = c.followsDpi;
            t.frameReadable = c.frameReadable;
            t.refusePlacement = c.refusePlacement;
            t.invisibleBorder = c.border;
        }
        if (!c.sameDisplay)
            platform::comboSelect(app().controls.displayCombo, 1);
        setGrid(u"2", u"2");
        arrangeWindows();
        const Rect target = c.sameDisplay ? laptop : wide;
        const auto cells = gridCellsOf(target, 2, 2);
        for (std::size_t i = 0; i < h.size(); ++i) {
            const auto& t = desk()[h[i]];
            // A reading that makes no sense is ignored: the rectangle fills the cell.
            EXPECT_EQ(c.border.left < 0 ? t.bounds : visibleFrame(t), cells[i])
                << c.name << ", window " << i;
            EXPECT_EQ(t.dpi, c.followsDpi ? c.toDpi : c.fromDpi) << c.name;
            EXPECT_EQ(t.placement.showCmd, platform::kShowNormal) << c.name;
        }
        EXPECT_EQ(desk().foreground, app().mainWindow) << c.name;
    }
}

TEST_F(ArrangeTest, NormalRectangleCountsFromTheWorkAreaWhenTheTaskbarIsTopOrLeft) {
    struct Case {
        const char* name;
        Rect display, work;
        int dx, dy;  // workspace minus screen coordinates
        bool removed;
    };
    const Case cases[] = {
        {"taskbar at the bottom", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 0, 0, false},
        {"taskbar at the top", {0, 0, 1920, 1080}, {0, 40, 1920, 1080}, 0, -40, false},
        {"taskbar at the left", {0, 0, 1920, 1080}, {62, 0, 1920, 1080}, -62, 0, false},
        {"secondary display, taskbar at its left",
         {1920, -100, 3200, 924},
         {1982, -100, 3200, 924},
         -62,
         0,
         false},
        {"display removed since it was listed: screen coordinates",
         {0, 0, 1920, 1080},
         {0, 40, 1920, 1080},
         0,
         0,
         true},
    };
    for (const auto& c : cases) {
        SetUp();
        desk().monitors.push_back({u"D", c.display, c.work});
        refreshDisplays();
        if (c.removed)
            desk().monitors.clear();
        auto h = discover({u"a", u"b"});
        selectAll();
        // Minimised: the restore brings each back to its normal rectangle.
        for (auto w : h)
            desk()[w].placement.showCmd = platform::kShowMinimized;
        setGrid(u"2", u"1");
        arrangeWindows();
        const auto cells = gridCellsOf(c.display, 2, 1);
        for (std::size_t i = 0; i < h.size(); ++i) {
            const Rect& cell = cells[i];
            EXPECT_EQ(
                desk()[h[i]].placement.normalPosition,
                (Rect{cell.left + c.dx, cell.top + c.dy, cell.right + c.dx, cell.bottom + c.dy}))
                << c.name;
            EXPECT_EQ(desk()[h[i]].bounds, cell) << c.name;
        }
        // The debug line still names the cell on the screen.
        EXPECT_EQ(fake::narrow(desk().debugLines.back()), "b: " + std::to_string(cells[1].left) +
                                                              ", " + std::to_string(cells[1].top) +
                                                              "\n")
            << c.name;
    }
}

}  // namespace

namespace {

// A terminal brought forward while the shortcut's keys are down takes their
// key-ups, and with them the last input, which on Windows keeps Tilewick from
// taking the foreground back: both actions wait, at most about a second.
TEST_F(ArrangeTest, ArrangeAndRaiseWaitUntilTheModifiersAreUpBeforeActivatingTerminals) {
    const struct {
        const char* name;
        unsigned key;
        unsigned releasedAfterMs;  // kHeld: never
        unsigned waitedMs;
    } cases[] = {
        {"nothing held", 0, 0, 0},
        {"Alt let go of after 200 ms", 0x12, 200, 200},
        {"Ctrl of a Ctrl-double-click, 30 ms", 0x11, 30, 30},
        {"the Windows key held on", 0x5B, fake::Desktop::kHeld, 1000},
        {"Caps Lock is no modifier", 0x14, fake::Desktop::kHeld, 0},
    };
    for (void (*action)() : {arrangeWindows, raiseSelected}) {
        for (const auto& c : cases) {
            SetUp();
            auto h = setUpDesk({0, 0, 1920, 1080}, 2);
            setGrid(u"2", u"1");
            if (c.key)
                desk().keysHeld[c.key] = c.releasedAfterMs;
            clearCalls();
            action();
            const Strings made = calls();
            const auto first = std::find_if(made.begin(), made.end(), [&](const auto& s) {
                return s.find(tag(h[0])) != std::string::npos;
            });
            const unsigned sleptBefore =
                std::accumulate(made.begin(), first, 0u, [](unsigned sum, const std::string& s) {
                    return sum + (s.rfind("sleep ", 0) == 0 ? std::stoul(s.substr(6)) : 0u);
                });
            EXPECT_EQ(sleptBefore, c.waitedMs) << c.name;
            EXPECT_EQ(desk().sleptMs, c.waitedMs + 150) << c.name;
            EXPECT_EQ(desk().foreground, app().mainWindow) << c.name;
        }
    }
}

}  // namespace
