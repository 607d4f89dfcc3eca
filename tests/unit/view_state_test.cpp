#include "app/layout.h"
#include "app/view_state.h"

#include "tests/unit/test_support.h"

// Readable boxes in test failures.
static void PrintTo(const Box& b, std::ostream* os) {
    *os << "(" << b.x << ", " << b.y << ", " << b.width << " x " << b.height << ")";
}

namespace {

using Strings = std::vector<std::string>;

class ViewStateTest : public AppTest {
protected:
    std::vector<int> alphaCalls() {
        std::vector<int> out;
        const std::string prefix = "setLayeredAlpha " + tag(app().mainWindow) + " ";
        for (const auto& c : desk().calls)
            if (c.rfind(prefix, 0) == 0)
                out.push_back(std::stoi(c.substr(prefix.size())));
        return out;
    }
    static std::vector<int> run(int from, int to) {
        std::vector<int> out;
        for (int a = from; from <= to ? a <= to : a >= to; a += from <= to ? 1 : -1)
            out.push_back(a);
        return out;
    }
    void setNormal(platform::Rect r) { desk()[app().mainWindow].placement.normalPosition = r; }
    platform::Rect normal() { return desk()[app().mainWindow].placement.normalPosition; }
};

TEST_F(ViewStateTest, FadeDownAndUpForEachConfiguredAlpha) {
    struct Case {
        int alpha;
        std::vector<int> down, up;
    };
    const Case cases[] = {
        {60, run(255, 60), run(60, 255)},  // 196 calls each way
        {0, run(255, 0), run(0, 255)},     // 256 calls, fully transparent
        {255, {255}, {255}},
        {254, {255, 254}, {254, 255}},
        {300, {}, {}},                   // no call, the state still flips
        {-5, run(255, 0), run(0, 255)},  // never below 0, never wraps into a bright window
        {-1000, run(255, 0), run(0, 255)},
    };
    for (const auto& c : cases) {
        SetUp();
        app().settings.alpha = c.alpha;
        toggleTranslucency();
        EXPECT_EQ(alphaCalls(), c.down) << "down, alpha " << c.alpha;
        EXPECT_TRUE(app().translucent);
        clearCalls();
        toggleTranslucency();
        EXPECT_EQ(alphaCalls(), c.up) << "up, alpha " << c.alpha;
        EXPECT_FALSE(app().translucent);
    }
}

TEST_F(ViewStateTest, AlphaIsReadAnewAtEveryToggle) {
    app().settings.alpha = 250;
    toggleTranslucency();
    app().settings.alpha = 253;  // changed by the settings dialog meanwhile
    clearCalls();
    toggleTranslucency();
    EXPECT_EQ(alphaCalls(), (std::vector<int>{253, 254, 255}));
    EXPECT_EQ(desk()[app().mainWindow].alpha, 255);
}

TEST_F(ViewStateTest, RestoreFromHotKeyAndDialogOpacity) {
    app().settings.alpha = 100;
    toggleTranslucency();
    desk()[app().mainWindow].placement.showCmd = platform::kShowMinimized;
    clearCalls();
    restoreFromHotKey();
    const std::string main = tag(app().mainWindow);
    EXPECT_EQ(calls(), (Strings{"setLayeredAlpha " + main + " 255", "showWindow " + main + " 9",
                                "setForegroundWindow " + main}));
    EXPECT_FALSE(app().translucent);
    EXPECT_EQ(desk()[app().mainWindow].placement.showCmd, platform::kShowNormal);
    EXPECT_EQ(desk().foreground, app().mainWindow);

    toggleTranslucency();
    clearCalls();
    makeOpaqueForDialog();
    EXPECT_EQ(calls(), Strings{"setLayeredAlpha " + main + " 255"});
    EXPECT_FALSE(app().translucent);
}

TEST_F(ViewStateTest, CompactModeMovesOnlyTheBottomEdge) {
    const Controls& c = app().controls;
    const std::vector<platform::WindowHandle> hidden = {
        c.filterEdit,     c.windowList,    c.invertButton, c.flashButton,
        c.windowOpsGroup, c.refreshButton, c.helpButton,   c.countLabel};
    setNormal({100, 50, 600, 550});  // 500 high
    clearCalls();
    toggleCompactMode();
    EXPECT_TRUE(app().compact);
    EXPECT_EQ(normal(), (platform::Rect{100, 50, 600, 145}));
    Strings expected;
    for (auto w : hidden)
        expected.push_back("showWindow " + tag(w) + " 0");
    EXPECT_EQ(desk().callsFor("showWindow"), expected);
    for (auto w : {c.commandEdit, c.compactButton, c.listTitleLabel})
        EXPECT_TRUE(desk()[w].visible);

    // The width changes while compact: leaving keeps the new width.
    setNormal({100, 50, 800, 145});
    clearCalls();
    toggleCompactMode();
    EXPECT_FALSE(app().compact);
    EXPECT_EQ(normal(), (platform::Rect{100, 50, 800, 550}));
    expected.clear();
    for (auto w : hidden)
        expected.push_back("showWindow " + tag(w) + " 5");
    EXPECT_EQ(desk().callsFor("showWindow"), expected);

    // Moved while compact: the window grows down from its new top.
    toggleCompactMode();
    setNormal({300, 200, 1000, 295});
    toggleCompactMode();
    EXPECT_EQ(normal(), (platform::Rect{300, 200, 1000, 700}));
}

TEST_F(ViewStateTest, CompactModeKeepsShowStateAndOtherPlacementFields) {
    auto& p = desk()[app().mainWindow].placement;
    p.normalPosition = {0, 0, 420, 340};
    p.showCmd = platform::kShowMinimized;
    p.minPosition = {-32000, -32000};
    toggleCompactMode();
    EXPECT_EQ(p.showCmd, platform::kShowMinimized);
    EXPECT_EQ(p.minPosition.x, -32000);
    EXPECT_EQ(p.normalPosition, (platform::Rect{0, 0, 420, 95}));
    toggleCompactMode();
    EXPECT_EQ(p.normalPosition, (platform::Rect{0, 0, 420, 340}));
}

TEST_F(ViewStateTest, TrackLimitsPerMode) {
    const TrackLimits normalMode = trackLimits(false);
    EXPECT_EQ(normalMode.minWidth, 420);
    EXPECT_EQ(normalMode.minHeight, 340);
    EXPECT_EQ(normalMode.maxHeight, 0);
    const TrackLimits compactMode = trackLimits(true);
    EXPECT_EQ(compactMode.minWidth, 420);
    EXPECT_EQ(compactMode.minHeight, 95);
    EXPECT_EQ(compactMode.maxHeight, 95);
}

TEST_F(ViewStateTest, LimitsAndHeightsFollowTheWindowDpi) {
    struct Case {
        unsigned reported, dpi;
        int minWidth, minHeight, compactHeight;
    };
    const Case cases[] = {
        {96, 96, 420, 340, 95},    {120, 120, 525, 425, 119}, {144, 144, 630, 510, 143},
        {192, 192, 840, 680, 190}, {0, 96, 420, 340, 95},     {100000, 96, 420, 340, 95},
    };
    for (const auto& c : cases) {
        SetUp();
        adoptDpi(c.reported);
        EXPECT_EQ(app().dpi, c.dpi) << c.reported;
        EXPECT_EQ(app().savedNormalHeight, c.minHeight) << c.reported;
        const TrackLimits normalMode = trackLimits(false, app().dpi);
        EXPECT_EQ(normalMode.minWidth, c.minWidth) << c.reported;
        EXPECT_EQ(normalMode.minHeight, c.minHeight) << c.reported;
        EXPECT_EQ(normalMode.maxHeight, 0) << c.reported;
        const TrackLimits compactMode = trackLimits(true, app().dpi);
        EXPECT_EQ(compactMode.minHeight, c.compactHeight) << c.reported;
        EXPECT_EQ(compactMode.maxHeight, c.compactHeight) << c.reported;
        setNormal({0, 0, c.minWidth, 600});
        toggleCompactMode();
        EXPECT_EQ(normal(), (platform::Rect{0, 0, c.minWidth, c.compactHeight})) << c.reported;
    }
}

// Moved to a display of another scale: the system suggests a rectangle; the
// strip keeps its height at the new scale and leaving compact mode gives the
// normal height at the new scale.
TEST_F(ViewStateTest, CompactModeAndSavedHeightStayRightAcrossADpiChange) {
    setNormal({100, 50, 600, 550});  // 500 high at 96
    toggleCompactMode();
    adoptDpi(144);
    EXPECT_EQ(app().savedNormalHeight, 750);
    // What Windows suggests is the old window scaled, give or take its frame.
    EXPECT_EQ(rectForNewDpi({150, 75, 900, 219}), (platform::Rect{150, 75, 900, 218}));
    setNormal({150, 75, 900, 218});
    toggleCompactMode();
    EXPECT_EQ(normal(), (platform::Rect{150, 75, 900, 825}));
    // Outside compact mode the suggestion is taken as it is.
    EXPECT_EQ(rectForNewDpi({1, 2, 631, 512}), (platform::Rect{1, 2, 631, 512}));
    adoptDpi(96);
    EXPECT_EQ(app().savedNormalHeight, 500);
}

// --- Layout ------------------------------------------------------------------------

// Every length of the rule at 1.25, 1.5 and 2 times: within a pixel of the
// 96-DPI box scaled, for a client area scaled alike; exact at 96 and 192.
TEST(LayoutTest, EveryConstantScalesWithTheDpi) {
    const MainLayout base = computeLayout(400, 300);
    for (unsigned dpi : {96u, 120u, 144u, 192u}) {
        const double f = dpi / 96.0;
        const MainLayout l = computeLayout(scaleToDpi(400, dpi), scaleToDpi(300, dpi), dpi);
        const Box MainLayout::*boxes[] = {
            &MainLayout::commandEdit,   &MainLayout::filterEdit,      &MainLayout::windowList,
            &MainLayout::invertButton,  &MainLayout::flashButton,     &MainLayout::windowOpsGroup,
            &MainLayout::refreshButton, &MainLayout::helpButton,      &MainLayout::countLabel,
            &MainLayout::arrangeButton, &MainLayout::hideOthersButton};
        for (auto box : boxes) {
            const Box& want = base.*box;
            const Box& got = l.*box;
            const int exact = (dpi % 96 == 0) ? 0 : 1;
            EXPECT_NEAR(got.x, want.x * f, exact) << dpi;
            EXPECT_NEAR(got.y, want.y * f, exact) << dpi;
            EXPECT_NEAR(got.width, want.width * f, exact) << dpi;
            EXPECT_NEAR(got.height, want.height * f, exact) << dpi;
        }
    }
    EXPECT_EQ(computeLayout(600, 450, 144).commandEdit, (Box{15, 12, 570, 32}));
    EXPECT_EQ(scaleBox({10, 38, 18, 18}, 144), (Box{15, 57, 27, 27}));
    EXPECT_EQ(scaleBox({8, 75, 15, 20}, 120), (Box{10, 94, 19, 25}));
}

TEST(LayoutTest, At400By300EveryRectangleMatches) {
    const MainLayout l = computeLayout(400, 300);
    EXPECT_EQ(l.commandEdit, (Box{10, 8, 380, 21}));
    EXPECT_EQ(l.filterEdit, (Box{10, 60, 240, 21}));
    EXPECT_EQ(l.windowList, (Box{10, 80, 240, 120}));
    EXPECT_EQ(l.invertButton, (Box{10, 202, 180, 22}));
    EXPECT_EQ(l.flashButton, (Box{195, 202, 55, 22}));
    EXPECT_EQ(l.windowOpsGroup, (Box{260, 55, 130, 170}));
    EXPECT_EQ(l.refreshButton, (Box{10, 232, 380, 30}));
    EXPECT_EQ(l.helpButton, (Box{10, 268, 24, 24}));
    EXPECT_EQ(l.countLabel, (Box{240, 270, 150, 20}));
    EXPECT_EQ(l.arrangeButton, (Box{8, 95, 115, 40}));
    EXPECT_EQ(l.hideOthersButton, (Box{8, 140, 115, 22}));
}

TEST(LayoutTest, WideningBy100ChangesOnlyTheListedControls) {
    const MainLayout a = computeLayout(400, 300);
    const MainLayout b = computeLayout(500, 300);
    auto wider = [](Box x) { return Box{x.x, x.y, x.width + 100, x.height}; };
    auto right = [](Box x) { return Box{x.x + 100, x.y, x.width, x.height}; };
    EXPECT_EQ(b.commandEdit, wider(a.commandEdit));
    EXPECT_EQ(b.filterEdit, wider(a.filterEdit));
    EXPECT_EQ(b.windowList, wider(a.windowList));
    EXPECT_EQ(b.invertButton, wider(a.invertButton));
    EXPECT_EQ(b.refreshButton, wider(a.refreshButton));
    EXPECT_EQ(b.flashButton, right(a.flashButton));
    EXPECT_EQ(b.windowOpsGroup, right(a.windowOpsGroup));
    EXPECT_EQ(b.countLabel, right(a.countLabel));
    EXPECT_EQ(b.helpButton, a.helpButton);
    EXPECT_EQ(b.arrangeButton, a.arrangeButton);
    EXPECT_EQ(b.hideOthersButton, a.hideOthersButton);
}

TEST(LayoutTest, TallerGrowsListGroupAndArrangeButton) {
    const MainLayout a = computeLayout(400, 300);
    const MainLayout b = computeLayout(400, 350);
    EXPECT_EQ(b.windowList.height, a.windowList.height + 50);
    EXPECT_EQ(b.windowOpsGroup.height, a.windowOpsGroup.height + 50);
    EXPECT_EQ(b.arrangeButton.height, a.arrangeButton.height + 50);
    EXPECT_EQ(b.hideOthersButton.y, a.hideOthersButton.y + 50);
    EXPECT_EQ(b.countLabel.y, a.countLabel.y + 50);
    EXPECT_EQ(b.commandEdit, a.commandEdit);
    EXPECT_EQ(b.filterEdit, a.filterEdit);
}

}  // namespace
