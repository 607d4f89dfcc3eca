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
    EXPECT_EQ(calls(), (Strings{"showWindowAsync " + tag(all[0].handle) + " 6",
                                "showWindowAsync " + tag(all[1].handle) + " 6",
                                "showWindowAsync " + tag(otherDup) + " 6", "sleep 150",
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
              (Strings{"showWindowAsync " + tag(h[0]) + " 6", "showWindowAsync " + tag(h[2]) + " 6",
                       "showWindowAsync " + tag(h[4]) + " 6"}));
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
    desk().close(h[0]);
    clearCalls();
    raiseSelected();
    // The closed one is passed over.
    const std::string main = tag(app().mainWindow);
    EXPECT_EQ(calls(),
              (Strings{"setForegroundWindow " + tag(h[1]), "flashCaption " + tag(h[1]) + " 2,250",
                       "sleep 150", "setForegroundWindow " + main}));
    EXPECT_EQ(desk().foreground, app().mainWindow);
}

// Hide-others, flash and raise with a terminal that stopped answering, in any
// position: nothing blocks, each hung one costs at most one short wait, and
// the others are handled in order.
TEST_F(WindowActionsTest, HungTerminalsArePassedOverAndTheOthersHandledInOrder) {
    struct Action {
        const char* name;
        void (*run)();
        int firstTarget;  // rows t0..t5: the even ones are selected, the odd ones not
        const char* call;
        const char* args;
        bool queuedToFreshHang;  // asynchronous: still sent to one not yet reported hung
    };
    const Action actions[] = {
        {"hideOthers", hideOthers, 1, "showWindowAsync ", " 6", true},
        {"flashSelected", flashSelected, 0, "flashCaption ", " 2,250", false},
        {"raiseSelected", raiseSelected, 0, "setForegroundWindow ", "", false},
    };
    for (const auto& action : actions)
        for (int position = 0; position < 3; ++position)
            for (bool reported : {false, true}) {
                SetUp();
                auto h = discover({u"t0", u"t1", u"t2", u"t3", u"t4", u"t5"});
                clickRow(0);
                ctrlClickRow(2);
                ctrlClickRow(4);
                const int hung = action.firstTarget + 2 * position;
                desk()[h[hung]].hung = true;
                desk()[h[hung]].hungReported = reported;
                clearCalls();
                action.run();

                const std::string name = std::string(action.name) + ", t" + std::to_string(hung) +
                                         (reported ? " reported hung" : " just stopped");
                EXPECT_EQ(desk().blocked, Strings{}) << name;
                EXPECT_LE(desk().waitedMs, reported ? 0u : 250u) << name;
                Strings expected, got;
                for (int i = action.firstTarget; i < 6; i += 2)
                    if (i != hung || (action.queuedToFreshHang && !reported))
                        expected.push_back(action.call + tag(h[i]) + action.args);
                for (const auto& call : desk().callsFor(action.call))
                    if (call != action.call + tag(app().mainWindow))
                        got.push_back(call);
                EXPECT_EQ(got, expected) << name;
                for (int i = 1; i < 6; i += 2)
                    EXPECT_EQ(desk()[h[i]].placement.showCmd, action.firstTarget == 1 && i != hung
                                                                  ? platform::kShowMinimized
                                                                  : platform::kShowNormal)
                        << name << ", t" << i;
            }
}

}  // namespace
