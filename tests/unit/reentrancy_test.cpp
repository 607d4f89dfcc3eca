// Every loop over the selection (or over the windows hide-others minimises)
// survives a refresh or a selection change made from inside one of its calls,
// as a nested message loop can make on Windows while a call waits: it walks a
// copy of what it started with. Meant to be run under AddressSanitizer too.
#include "arrange/arrange.h"
#include "arrange/displays.h"
#include "arrange/window_actions.h"
#include "broadcast/keys.h"
#include "broadcast/paste.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

namespace {

using Strings = std::vector<std::string>;

class ReentrancyTest : public AppTest {};

// The windows a call went to, in order, from the fake's record of calls.
Strings windowsOf(const std::string& call) {
    Strings out;
    for (const auto& c : fake::desktop().callsFor(call + " "))
        out.push_back(c.substr(call.size() + 1, c.find(' ', call.size() + 1) - call.size() - 1));
    return out;
}

Strings windowsPostedTo() {
    Strings out;
    for (const auto& p : fake::desktop().posted)
        out.push_back("w" + std::to_string(reinterpret_cast<std::uintptr_t>(p.window)));
    return out;
}

TEST_F(ReentrancyTest, EveryLoopWalksWhatItStartedWithWhateverHappensInsideItsCalls) {
    struct Action {
        const char* name;
        void (*run)();
        const char* inside;  // the call, on the first target, during which the change comes
        bool others;         // targets the unselected windows rather than the selected ones
        Strings (*handled)();
    };
    const Action actions[] = {
        {"arrange", arrangeWindows, "setActiveWindow", false,
         [] { return windowsOf("moveToFrontAtAsync"); }},
        {"paste", broadcastPaste, "rightUp", false, [] { return windowsOf("rightDown"); }},
        {"paste, probe", broadcastPaste, "windowAnswers", false,
         [] { return windowsOf("rightDown"); }},
        {"flash", flashSelected, "windowAnswers", false, [] { return windowsOf("flashCaption"); }},
        {"raise", raiseSelected, "setForegroundWindow", false,
         [] { return windowsOf("flashCaption"); }},
        {"hide others", hideOthers, "showWindowAsync", true,
         [] { return windowsOf("showWindowAsync"); }},
        {"show-state guard", [] { checkSelectedShowState(); }, "getWindowPlacement", false,
         [] { return windowsOf("getWindowPlacement"); }},
        {"show-state guard, integrity", [] { checkSelectedShowState(); }, "outranksOwnIntegrity",
         false, [] { return windowsOf("getWindowPlacement"); }},
        {"keys", [] { broadcastKeys('L', 0x260001); }, "postKeyDown", false, windowsPostedTo},
    };
    struct Change {
        const char* name;
        void (*make)(fake::Desktop&);
    };
    const Change changes[] = {
        // Swaps in a new selection and frees the old one's storage.
        {"selection inverted", [](fake::Desktop&) { invertSelection(); }},
        // Rebuilds allWindows (freeing the old array) and grows the selection.
        {"refreshed with new terminals, all selected",
         [](fake::Desktop& d) {
             for (const char16_t* title : {u"n1", u"n2", u"n3", u"n4", u"n5", u"n6", u"n7"})
                 d.add(u"PuTTY", title);
             refreshWindows();
             selectAll();
         }},
        {"refreshed after an unselected one closed",
         [](fake::Desktop& d) {
             d.close(app().allWindows[5].handle);
             refreshWindows();
         }},
    };
    for (const auto& action : actions)
        for (const auto& change : changes) {
            SetUp();
            desk().monitors.push_back({u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}});
            refreshDisplays();
            auto h = discover({u"t0", u"t1", u"t2", u"t3", u"t4", u"t5"});
            clickRow(0);
            ctrlClickRow(2);
            ctrlClickRow(4);
            desk()[app().controls.columnsEdit].text = u"2";
            desk()[app().controls.rowsEdit].text = u"2";
            desk().setClipboardText(u"uptime");
            desk().focus = app().controls.commandEdit;
            Strings targets;
            for (int i = action.others ? 1 : 0; i < 6; i += 2)
                targets.push_back(tag(h[i]));
            bool changed = false;
            desk().duringCall = [&](const std::string& call, platform::WindowHandle w) {
                if (!changed && call == action.inside && tag(w) == targets[0]) {
                    changed = true;
                    change.make(desk());
                }
            };
            clearCalls();
            action.run();
            const std::string name = std::string(action.name) + ", " + change.name;
            EXPECT_TRUE(changed) << name << ": the change never came";
            EXPECT_EQ(action.handled(), targets) << name;
            EXPECT_TRUE(desk().blocked.empty()) << name;
        }
}

}  // namespace
