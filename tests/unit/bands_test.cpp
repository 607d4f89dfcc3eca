#include "arrange/arrange.h"
#include "arrange/bands.h"
#include "arrange/displays.h"
#include "arrange/window_actions.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

#include <algorithm>
#include <functional>

namespace {

using platform::Rect;
using platform::WindowHandle;
using Strings = std::vector<std::string>;

class BandsTest : public AppTest {
protected:
    // The band of a terminal (its lowest edge), nullptr when it has none.
    WindowHandle bandOf(WindowHandle terminal) {
        for (const TerminalBand& b : app().bands.bands)
            if (b.terminal == terminal)
                return b.edges[0];
        return nullptr;
    }
    // The ring a terminal's four shown edges draw, and its thickness; empty
    // unless the edges meet as a ring, each painted at its size.
    std::pair<Rect, int> ringOf(WindowHandle terminal) {
        WindowHandle e[platform::kBandEdges] = {};
        for (const TerminalBand& b : app().bands.bands)
            if (b.terminal == terminal)
                std::copy(std::begin(b.edges), std::end(b.edges), e);
        for (WindowHandle edge : e)
            if (!edge || !desk()[edge].visible)
                return {};
        const Rect top = desk()[e[0]].bounds, bottom = desk()[e[1]].bounds;
        const Rect r{top.left, top.top, bottom.right, bottom.bottom};
        const int t = top.bottom - top.top;
        platform::BandEdgeRects wanted;
        bandEdgeRects(r, t, wanted);
        for (int i = 0; i < platform::kBandEdges; ++i) {
            const Rect& p = desk()[e[i]].painted;
            if (!(desk()[e[i]].bounds == wanted[i]) ||
                p.right - p.left != wanted[i].right - wanted[i].left ||
                p.bottom - p.top != wanted[i].bottom - wanted[i].top)
                return {};
        }
        return {r, t};
    }
    // Titles of the terminals that show a band, in selection order.
    Strings banded() {
        Strings out;
        for (const TerminalBand& b : app().bands.bands) {
            const WindowHandle w = b.edges[0];
            if (w && desk().windows.count(w) && desk()[w].exists && desk()[w].visible)
                out.push_back(fake::narrow(desk()[b.terminal].text));
        }
        return out;
    }
    // Band edge windows that exist, spare or not.
    int edgeWindows() {
        return static_cast<int>(
            std::count_if(desk().windows.begin(), desk().windows.end(),
                          [](const auto& w) { return w.second.band && w.second.exists; }));
    }
    // Bands whose windows exist, shown or not, besides the spare edges
    // (which must all be hidden): four edge windows each.
    int bandWindows() {
        const auto& spare = app().bands.spareBands;
        for (const TerminalBand& b : spare)
            for (WindowHandle e : b.edges)
                EXPECT_FALSE(desk()[e].visible) << "a spare band shows";
        return edgeWindows() / platform::kBandEdges - static_cast<int>(spare.size());
    }
    int zIndex(WindowHandle w) {
        const auto& z = desk().zOrder;
        return static_cast<int>(std::find(z.begin(), z.end(), w) - z.begin());
    }
    // Ticks enough for every terminal to be polled once.
    void tickRound() {
        const std::size_t n = app().bands.bands.size();
        for (std::size_t i = 0, polls = pollsPerTick(n); polls && i < (n + polls - 1) / polls; ++i)
            followTick();
    }
    void raise(WindowHandle w) {
        auto& z = desk().zOrder;
        z.erase(std::remove(z.begin(), z.end(), w), z.end());
        z.insert(z.begin(), w);
    }
};

struct GeometryCase {
    const char* name;
    Rect bounds;
    unsigned dpi;
    bool frameReadable;  // Windows 10/11 with the DWM; not Wine
    Rect invisibleBorder;
    bool shown;
    Rect band;
    int ring;
};

TEST_F(BandsTest, BandFollowsTheVisibleFrameAndScalesWithDpi) {
    const GeometryCase cases[] = {
        {"96 DPI, rectangle only (Wine)",
         {100, 50, 740, 530},
         96,
         false,
         {},
         true,
         {100, 50, 740, 530},
         3},
        {"144 DPI, rectangle only",
         {100, 50, 740, 530},
         144,
         false,
         {},
         true,
         {100, 50, 740, 530},
         5},
        {"96 DPI, invisible border left out",
         {100, 50, 740, 530},
         96,
         true,
         {7, 0, 7, 7},
         true,
         {107, 50, 733, 523},
         3},
        {"144 DPI, invisible border left out",
         {100, 50, 740, 530},
         144,
         true,
         {11, 0, 11, 11},
         true,
         {111, 50, 729, 519},
         5},
        {"border kept where the frame cannot be read",
         {100, 50, 740, 530},
         96,
         false,
         {7, 0, 7, 7},
         true,
         {100, 50, 740, 530},
         3},
        {"200 % display, terminal unaware of DPI",
         {100, 50, 740, 530},
         192,
         false,
         {},
         true,
         {100, 50, 740, 530},
         6},
        {"no DPI answer counts as 96", {0, 0, 640, 480}, 0, false, {}, true, {0, 0, 640, 480}, 3},
        {"off every display: nothing to see",
         {5000, 5000, 5640, 5480},
         96,
         false,
         {},
         false,
         {},
         0},
        {"past the display's right: cut a thickness beyond",
         {1500, 100, 2600, 700},
         96,
         false,
         {},
         true,
         {1500, 100, 1923, 700},
         3},
        {"absurdly large: cut off screen",
         {-100000, -100000, 100000, 100000},
         96,
         false,
         {},
         true,
         {-3, -3, 1923, 1083},
         3},
        {"empty rectangle: no band", {200, 200, 200, 200}, 96, false, {}, false, {}, 0},
        {"no room for a hole: no band", {0, 0, 6, 480}, 96, false, {}, false, {}, 0},
        {"inverted rectangle: no band", {640, 480, 0, 0}, 96, false, {}, false, {}, 0},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const WindowHandle t = discover({u"web"})[0];
        desk()[t].bounds = c.bounds;
        // The display's scale; the terminal, unaware of DPI, is told 96.
        desk().monitors = {{u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}, {}, c.dpi}};
        refreshDisplays();
        desk()[t].frameReadable = c.frameReadable;
        desk()[t].invisibleBorder = c.invisibleBorder;
        selectAll();
        // A band that cannot show is not made at all.
        const WindowHandle band = bandOf(t);
        ASSERT_EQ(band != nullptr, c.shown);
        if (c.shown) {
            EXPECT_EQ(ringOf(t), std::make_pair(c.band, c.ring));
        }
    }
}

TEST_F(BandsTest, ThicknessIsThreePixelsAt96) {
    const std::pair<unsigned, int> cases[] = {{96, 3},  {120, 4}, {144, 5},   {192, 6},
                                              {288, 9}, {0, 3},   {100000, 3}};
    for (const auto& [dpi, thickness] : cases)
        EXPECT_EQ(bandThickness(dpi), thickness) << dpi;
}

struct SelectionStep {
    const char* name;
    std::function<void()> act;
    Strings banded;
};

TEST_F(BandsTest, ExactlyTheShownSelectedTerminalsHaveBands) {
    // Rows in title order: a, b, c, d.
    const auto h = discover({u"a", u"b", u"c", u"d"});
    const SelectionStep steps[] = {
        {"click a, Ctrl+click c",
         [&] {
             clickRow(0);
             ctrlClickRow(2);
         },
         {"a", "c"}},
        {"Ctrl+click c again", [&] { ctrlClickRow(2); }, {"a"}},
        {"select all", [&] { selectAll(); }, {"a", "b", "c", "d"}},
        {"minimise b",
         [&] {
             desk()[h[1]].placement.showCmd = platform::kShowMinimized;
             tickRound();
         },
         {"a", "c", "d"}},
        {"hide d",
         [&] {
             desk()[h[3]].visible = false;
             tickRound();
         },
         {"a", "c"}},
        {"restore b, show d",
         [&] {
             desk()[h[1]].placement.showCmd = platform::kShowNormal;
             desk()[h[3]].visible = true;
             tickRound();
         },
         {"a", "b", "c", "d"}},
        {"b goes to another virtual desktop",
         [&] {
             desk()[h[1]].cloaked = true;
             tickRound();
         },
         {"a", "c", "d"}},
        {"and comes back",
         [&] {
             desk()[h[1]].cloaked = false;
             tickRound();
         },
         {"a", "b", "c", "d"}},
        {"close a",
         [&] {
             desk().close(h[0]);
             tickRound();
         },
         {"b", "c", "d"}},
        {"refresh drops a", [&] { refreshWindows(); }, {"b", "c", "d"}},
        {"invert", [&] { invertSelection(); }, {}},
        {"select b, c; hide the others",
         [&] {
             clickRow(0);
             ctrlClickRow(1);
             hideOthers();
         },
         {"b", "c"}},
        {"filter hides c", [&] { typeFilter(u"b"); }, {"b"}},
    };
    for (const SelectionStep& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(banded(), step.banded);
        // Band windows only for selected terminals still there, none left behind.
        int live = 0, owned = 0;
        for (const WindowRecord& r : app().selectedWindows)
            live += desk().windows.count(r.handle) && desk()[r.handle].exists;
        for (const TerminalBand& b : app().bands.bands)
            owned += b.edges[0] != nullptr;
        EXPECT_EQ(bandWindows(), owned);
        EXPECT_LE(owned, live);
        for (const WindowRecord& r : app().allWindows)
            EXPECT_FALSE(desk()[r.handle].band);
    }
    // Bands never join the list, and none survives exit.
    refreshWindows();
    EXPECT_EQ(app().allWindows.size(), 3u);
    removeBands();
    EXPECT_EQ(edgeWindows(), 0);
}

TEST_F(BandsTest, BandSitsDirectlyAboveItsTerminal) {
    const auto h = discover({u"a", u"b", u"c"});
    const WindowHandle other = desk().add(u"Notepad", u"notes");
    selectAll();
    for (WindowHandle t : h)
        EXPECT_EQ(platform::windowAbove(t), bandOf(t));

    // Raised by someone else: the band comes up with it within a round.
    raise(h[2]);
    tickRound();
    constexpr int kLowestEdge = platform::kBandEdges - 1;  // the edges of one band lie together
    EXPECT_EQ(zIndex(bandOf(h[2])), kLowestEdge);
    EXPECT_EQ(zIndex(h[2]), kLowestEdge + 1);

    // A window brought over the terminal covers its band too.
    raise(other);
    tickRound();
    EXPECT_LT(zIndex(other), zIndex(bandOf(h[2])));
    EXPECT_EQ(platform::windowAbove(h[2]), bandOf(h[2]));

    // Lowered to the bottom: the band goes with it.
    auto& z = desk().zOrder;
    z.erase(std::remove(z.begin(), z.end(), h[0]), z.end());
    z.push_back(h[0]);
    tickRound();
    EXPECT_EQ(platform::windowAbove(h[0]), bandOf(h[0]));

    // Tilewick's own arrange raises each terminal; each band follows at once.
    desk().monitors = {{u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}}};
    refreshDisplays();
    platform::setWindowText(app().controls.columnsEdit, u"3");
    platform::setWindowText(app().controls.rowsEdit, u"1");
    arrangeWindows();
    for (WindowHandle t : h) {
        EXPECT_EQ(platform::windowAbove(t), bandOf(t));
        EXPECT_EQ(ringOf(t).first, desk()[t].bounds);
    }
    // The last arranged is on top with its band, under the main window in front.
    EXPECT_EQ(desk().foreground, app().mainWindow);
    EXPECT_EQ(zIndex(app().mainWindow), 0);
    EXPECT_EQ(zIndex(bandOf(h[2])), kLowestEdge + 1);
    EXPECT_EQ(zIndex(h[2]), kLowestEdge + 2);
}

struct TopmostCase {
    const char* name;
    std::function<void(WindowHandle terminal, WindowHandle other)> act;
    bool bandTopmost;
};

TEST_F(BandsTest, BandOfATopmostTerminalIsTopmostDirectlyAboveIt) {
    auto makeTopmost = [&](WindowHandle w) {
        desk()[w].topmost = true;
        raise(w);
    };
    const TopmostCase cases[] = {
        {"topmost and first in z-order", [&](WindowHandle t, WindowHandle) { makeTopmost(t); },
         true},
        {"topmost under another topmost window",
         [&](WindowHandle t, WindowHandle other) {
             makeTopmost(t);
             makeTopmost(other);
         },
         true},
        {"turns topmost, then stops",
         [&](WindowHandle t, WindowHandle other) {
             makeTopmost(t);
             tickRound();
             desk()[t].topmost = false;
             auto& z = desk().zOrder;  // first of the windows that are not topmost
             z.erase(std::remove(z.begin(), z.end(), t), z.end());
             z.insert(std::find(z.begin(), z.end(), other), t);
         },
         false},
    };
    for (const TopmostCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const auto h = discover({u"a", u"b"});
        const WindowHandle other = desk().add(u"Notepad", u"notes");
        selectAll();
        c.act(h[0], other);
        tickRound();
        EXPECT_EQ(platform::windowAbove(h[0]), bandOf(h[0]));
        for (const TerminalBand& b : app().bands.bands) {
            for (WindowHandle edge : b.edges)
                EXPECT_EQ(desk()[edge].topmost, b.terminal == h[0] && c.bandTopmost);
        }
        // Nothing changes: nothing is placed again.
        desk().bandPlacements = 0;
        tickRound();
        tickRound();
        EXPECT_EQ(desk().bandPlacements, 0);
    }
}

struct TimerStep {
    const char* name;
    std::function<void()> act;
    unsigned period;  // of the band timer, 0 when stopped
    Strings banded;
};

TEST_F(BandsTest, TimerAndWatchRunOnlyWhileABandIsToBeFollowed) {
    const auto h = discover({u"a", u"b"});
    const TimerStep steps[] = {
        {"nothing selected", [] {}, 0, {}},
        {"select a", [&] { clickRow(0); }, kBandTickMs, {"a"}},
        {"Tilewick minimised", [&] { pauseBands(true); }, 0, {}},
        {"a moved meanwhile, Tilewick shown again",
         [&] {
             desk()[h[0]].bounds = {10, 10, 300, 200};
             pauseBands(false);
             EXPECT_EQ(ringOf(h[0]).first, (Rect{10, 10, 300, 200}));
         },
         kBandTickMs,
         {"a"}},
        {"a moved, and the system says so: followed at once, ticks slow down",
         [&] {
             desk()[h[0]].bounds = {20, 20, 320, 220};
             desk().watcher(h[0]);
             EXPECT_EQ(ringOf(h[0]).first, (Rect{20, 20, 320, 220}));
         },
         kBandQuietTickMs,
         {"a"}},
        {"a raised over its band, and the system reports the new order",
         [&] {
             raise(h[0]);
             desk().watcher(nullptr);
             EXPECT_EQ(platform::windowAbove(h[0]), bandOf(h[0]));
         },
         kBandQuietTickMs,
         {"a"}},
        {"a deselected", [&] { ctrlClickRow(0); }, 0, {}},
        {"b selected, then closed",
         [&] {
             clickRow(1);
             desk().close(h[1]);
             desk().watcher(h[1]);
         },
         0,
         {}},
    };
    for (const TimerStep& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        const auto timer = desk().timers.find({app().mainWindow, kBandTimerId});
        EXPECT_EQ(timer == desk().timers.end() ? 0 : timer->second, step.period);
        EXPECT_EQ(desk().watcher != nullptr, step.period != 0);
        EXPECT_EQ(banded(), step.banded);
    }
}

TEST_F(BandsTest, SpareBandsAreMadeAndPaintedAheadAndReused) {
    const auto h = discover({u"a", u"b", u"c"});
    desk()[h[1]].bounds = {0, 0, 500, 300};
    refreshWindows();  // as at start-up
    auto stocking = [&] { return desk().timers.count({app().mainWindow, kSpareTimerId}) != 0; };
    // One band a tick, each painted for its terminal, then the timer stops.
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(stocking());
        stockSpareBands();
    }
    EXPECT_FALSE(stocking());
    ASSERT_EQ(app().bands.spareBands.size(), 3u);
    const Rect bRight = desk()[app().bands.spareBands[1].edges[3]].painted;
    EXPECT_EQ(bRight.bottom - bRight.top, 300 - 2 * 3) << "b's right edge not painted at b's size";
    // Selecting takes them: nothing is made, every ring shows at once.
    selectAll();
    EXPECT_EQ(edgeWindows(), 12);
    EXPECT_TRUE(app().bands.spareBands.empty());
    for (WindowHandle t : h)
        EXPECT_FALSE(ringOf(t).first == Rect{}) << "no ring";
    // A deselected band waits hidden for the next, and none is made again.
    ctrlClickRow(0);
    EXPECT_EQ(bandWindows(), 2);
    EXPECT_FALSE(stocking());
    ctrlClickRow(0);
    EXPECT_EQ(edgeWindows(), 12);
    EXPECT_EQ(bandWindows(), 3);
    removeBands();
    EXPECT_EQ(edgeWindows(), 0);
    EXPECT_FALSE(stocking());
}

TEST_F(BandsTest, TicksPollABoundedShareAndPlaceOnlyWhatChanged) {
    const std::pair<std::size_t, std::size_t> shares[] = {
        {0, 0}, {1, 1}, {4, 1}, {5, 2}, {40, 10}, {50, 10}, {1000, 10}, {100000, 10}};
    for (const auto& [count, polls] : shares)
        EXPECT_EQ(pollsPerTick(count), polls) << count;

    std::vector<std::u16string> titles;
    for (int i = 0; i < 1000; ++i)
        titles.push_back(u"t" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                         std::u16string(1, static_cast<char16_t>(0x4E00 + i)));
    const auto h = discover(titles);
    desk().lastEdgeEndsLowest = true;
    // Selecting them all makes a bounded number of bands at once; each tick
    // then makes a few, until every terminal has its band.
    selectAll();
    EXPECT_EQ(bandWindows(), static_cast<int>(kBandsMadeOnSelection));
    for (int tick = 0; bandWindows() < 1000 && tick < 1000; ++tick) {
        const int before = bandWindows();
        followTick();
        ASSERT_LE(bandWindows() - before, static_cast<int>(kMaxBandsMadePerTick));
    }
    EXPECT_EQ(bandWindows(), 1000);
    tickRound();

    // Nothing changed: ticks read each terminal in turn, place nothing and
    // ask for no frame while no rectangle changed.
    desk().bandPlacements = 0;
    desk().frameReads = 0;
    for (int tick = 0; tick < 40; ++tick) {
        desk().showStateReads = 0;
        followTick();
        EXPECT_LE(desk().showStateReads, static_cast<int>(kMaxPollsPerTick));
    }
    EXPECT_EQ(desk().bandPlacements, 0);
    EXPECT_EQ(desk().frameReads, 0);

    // Every terminal moved: each band follows within 1000 / 10 ticks.
    for (WindowHandle t : h)
        desk()[t].bounds = {10, 10, 500, 400};
    for (int tick = 0; tick < 100; ++tick)
        followTick();
    for (WindowHandle t : h)
        ASSERT_EQ(ringOf(t).first, (Rect{10, 10, 500, 400}));
    EXPECT_EQ(desk().bandPlacements, 1000 * platform::kBandEdges);

    // Tilewick moved them all (arrange): a chunk at once, a chunk on each
    // quick tick after (each band raised, then put back: two placements),
    // the loop free between them, until every band is in place.
    for (WindowHandle t : h)
        desk()[t].bounds = {20, 20, 520, 420};
    const int chunk = static_cast<int>(kBandsPlacedAtOnce) * 2 * platform::kBandEdges;
    desk().bandPlacements = 0;
    followNow();
    int ticks = 0;
    for (; app().bands.timerMs == kBandCatchUpMs && ticks < 1000; ++ticks) {
        ASSERT_LE(desk().bandPlacements, chunk);
        desk().bandPlacements = 0;
        followTick();
    }
    EXPECT_EQ(ticks, (1000 + kBandsPlacedAtOnce - 1) / kBandsPlacedAtOnce - 1);
    EXPECT_EQ(app().bands.timerMs, kBandTickMs);
    for (WindowHandle t : h)
        ASSERT_EQ(ringOf(t).first, (Rect{20, 20, 520, 420}));
}

TEST_F(BandsTest, BadTerminalsLeaveNoBandBehindAndBlockNothing) {
    const auto h = discover({u"hung", u"closing", u"moving"});
    desk()[h[0]].bounds = {0, 0, 400, 300};
    selectAll();
    // A terminal that stopped answering: its band stays, no call waits on it.
    desk()[h[0]].hung = true;
    desk()[h[0]].hungReported = true;
    // One that closes between two ticks.
    desk().close(h[1]);
    desk()[h[2]].bounds = {50, 60, 450, 360};
    tickRound();
    EXPECT_TRUE(desk().blocked.empty());
    EXPECT_EQ(ringOf(h[0]).first, (Rect{0, 0, 400, 300}));
    EXPECT_EQ(bandOf(h[1]), nullptr);
    EXPECT_EQ(bandWindows(), 2);
    EXPECT_EQ(ringOf(h[2]).first, (Rect{50, 60, 450, 360}));

    // A display change to 150 % while bands are shown: rings rescaled at once.
    desk().monitors = {{u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}, {}, 144}};
    followNow();
    EXPECT_EQ(ringOf(h[2]).second, 5);
    removeBands();
    EXPECT_EQ(edgeWindows(), 0);
}

}  // namespace
