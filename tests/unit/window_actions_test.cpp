#include "arrange/window_actions.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

namespace {

using Strings = std::vector<std::string>;

class WindowActionsTest : public AppTest {};

TEST_F(WindowActionsTest, HideOthersMinimisesEveryUnselectedDiscoveredWindow) {
    // rows: db-1, db-2, web-1, web-dup, web-dup
    discover({u"web-1", u"db-1", u"web-dup", u"web-dup", u"db-2"});
    clickRow(2);
    ctrlClickRow(3);  // one of the two windows titled web-dup
    const auto keptDup = app().allWindows[3].handle;
    const auto otherDup = app().allWindows[4].handle;
    typeFilter(u"web");  // hides the two unselected db windows from the list
    ASSERT_EQ(app().selectedWindows.size(), 2u);

    desk().focus = app().controls.filterEdit;
    clearCalls();
    hideOthers();
    // db-1, db-2 (filtered out) and the unselected web-dup, in allWindows order.
    const auto& all = app().allWindows;
    EXPECT_EQ(calls(), (Strings{"showWindow " + tag(all[0].handle) + " 6",
                                "showWindow " + tag(all[1].handle) + " 6",
                                "showWindow " + tag(otherDup) + " 6", "sleep 150",
                                "setFocus " + tag(app().controls.commandEdit)}));
    EXPECT_EQ(desk()[otherDup].placement.showCmd, platform::kShowMinimized);
    EXPECT_EQ(desk()[keptDup].placement.showCmd, platform::kShowNormal);
    EXPECT_EQ(desk().focus, app().controls.commandEdit);
}

TEST_F(WindowActionsTest, HideOthersLeavesSelectedWindowsAsTheyAre) {
    auto h = discover({u"a", u"b", u"c", u"d", u"e"});
    desk()[h[1]].placement.showCmd = platform::kShowMinimized;
    clickRow(1);
    ctrlClickRow(3);
    clearCalls();
    hideOthers();
    EXPECT_EQ(desk().callsFor("showWindow"),
              (Strings{"showWindow " + tag(h[0]) + " 6", "showWindow " + tag(h[2]) + " 6",
                       "showWindow " + tag(h[4]) + " 6"}));
    EXPECT_EQ(desk()[h[1]].placement.showCmd, platform::kShowMinimized);  // not restored
    EXPECT_EQ(desk()[h[3]].placement.showCmd, platform::kShowNormal);

    // With nothing selected every discovered window is minimised, a closed one without harm.
    clickRow(1);
    ctrlClickRow(1);
    ASSERT_TRUE(app().selectedWindows.empty());
    desk().close(h[2]);
    clearCalls();
    hideOthers();
    EXPECT_EQ(desk().callsFor("showWindow").size(), 5u);
}

TEST_F(WindowActionsTest, FlashSelectedFlashesTwiceThenFocusesCommandField) {
    auto h = discover({u"a", u"b", u"c"});
    clickRow(2);
    ctrlClickRow(0);
    desk().focus = app().controls.windowList;
    clearCalls();
    flashSelected();
    EXPECT_EQ(calls(), (Strings{"flashCaption " + tag(h[0]) + " 2,250",
                                "flashCaption " + tag(h[2]) + " 2,250",
                                "setFocus " + tag(app().controls.commandEdit)}));
    EXPECT_EQ(desk().focus, app().controls.commandEdit);

    clickRow(1);
    ctrlClickRow(1);  // nothing selected
    clearCalls();
    flashSelected();
    EXPECT_EQ(calls(), Strings{"setFocus " + tag(app().controls.commandEdit)});
}

TEST_F(WindowActionsTest, RaiseSelectedInSelectionOrderThenMainWindow) {
    auto h = discover({u"alpha", u"beta"});
    clickRow(0);
    ctrlClickRow(1);
    desk()[h[0]].text = u"zeta";
    refreshWindows();  // rows: beta, zeta; selection order stays alpha, beta
    desk().close(h[1]);
    clearCalls();
    raiseSelected();
    const std::string main = tag(app().mainWindow);
    EXPECT_EQ(calls(),
              (Strings{"setForegroundWindow " + tag(h[0]), "flashCaption " + tag(h[0]) + " 2,250",
                       "setForegroundWindow " + tag(h[1]), "flashCaption " + tag(h[1]) + " 2,250",
                       "sleep 150", "setForegroundWindow " + main}));
    EXPECT_EQ(desk().foreground, app().mainWindow);
}

}  // namespace
