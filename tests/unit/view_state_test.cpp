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

// --- Layout ------------------------------------------------------------------------

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
