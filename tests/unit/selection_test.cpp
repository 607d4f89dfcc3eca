#include "registry/discovery.h"
#include "registry/handle_set.h"
#include "registry/selection.h"
#include "registry/title_filter.h"

#include "tests/unit/test_support.h"

#include <algorithm>
#include <cstring>

namespace {

using Strings = std::vector<std::string>;

class SelectionTest : public AppTest {
protected:
    // How many times updateSelectionState ran: it enables or disables the
    // display combo box first, once per run.
    int updates() {
        return static_cast<int>(
            std::count_if(desk().calls.begin(), desk().calls.end(), [&](const std::string& c) {
                return c.rfind("enableWindow " + tag(app().controls.displayCombo), 0) == 0;
            }));
    }
    std::vector<platform::WindowHandle> selectedHandles() {
        std::vector<platform::WindowHandle> out;
        for (const auto& r : app().selectedWindows)
            out.push_back(r.handle);
        return out;
    }
    std::vector<bool> windowOpsEnabled() {
        const Controls& c = app().controls;
        std::vector<bool> out;
        for (auto w : {c.displayCombo, c.areaCombo, c.columnsEdit, c.rowsEdit, c.arrangeButton,
                       c.hideOthersButton})
            out.push_back(desk()[w].enabled);
        return out;
    }
};

// --- Matching -------------------------------------------------------------------

TEST_F(SelectionTest, FilterFoldsAsciiCapitalsOnly) {
    discover({u"WEB-01", u"myweb", u"db", u"ｗｅｂ", u"ＷＥＢ", u"Émile", u"émile", u"サーバ01",
              u"サーバ", u"a b", u"ab", u"tab\tx"});
    struct Case {
        std::u16string filter;
        Strings listed;
    };
    const Case cases[] = {
        {u"web", {"WEB-01", "myweb"}},
        {u"WEB", {"WEB-01", "myweb"}},
        {u"wEb-0", {"WEB-01"}},
        {u"ｗｅｂ", {"ｗｅｂ"}},  // full-width letters are not folded...
        {u"ＷＥＢ", {"ＷＥＢ"}},  // ...neither way
        {u"É", {"Émile"}},        // accented capitals stay capitals
        {u"é", {"émile"}},
        {u"サーバ", {"サーバ", "サーバ01"}},
        {u"サーハ", {}},
        {u" ", {"a b"}},  // a blank matches a blank, nothing else
        {u"\t", {"tab\tx"}},
        {u"B", {"WEB-01", "a b", "ab", "db", "myweb", "tab\tx"}},
        {u"zzz", {}},
    };
    for (const auto& c : cases) {
        typeFilter(c.filter);
        EXPECT_EQ(rows(), c.listed) << fake::narrow(c.filter);
        expectListInvariants();
    }
}

TEST_F(SelectionTest, OnlyFirst254UnitsOfFilterTakePart) {
    const std::u16string run(300, u'x');
    discover({run, u"short"});
    // Units from the 255th on are ignored: a mismatch there does not matter.
    typeFilter(std::u16string(254, u'x') + u"y");
    EXPECT_EQ(rows(), Strings{fake::narrow(run)});
    // A mismatch at unit 254 still counts.
    typeFilter(std::u16string(253, u'x') + u"y");
    EXPECT_TRUE(rows().empty());
}

TEST_F(SelectionTest, LowerAsciiAndTitleMatchesDirectly) {
    char16_t text[] = u"AZaz@[`{ÀＡ";
    lowerAscii(text);
    EXPECT_EQ(std::u16string(text), u"azaz@[`{ÀＡ");
    EXPECT_TRUE(titleMatches(u"Host-A", u"t-a"));
    EXPECT_TRUE(titleMatches(u"anything", u""));
    EXPECT_FALSE(titleMatches(u"", u"a"));
    EXPECT_FALSE(titleMatches(u"ab", u"abc"));
}

// The rebuilds copy records over old ones and test handles against a table;
// both must give exactly what a plain copy and a plain search give.
TEST_F(SelectionTest, RecordsCopiedInPlaceAndHandleSetsAreExact) {
    auto record = [](const std::u16string& title, std::uintptr_t handle) {
        WindowRecord r;
        std::copy(title.begin(), title.end(), r.title);
        r.handle = reinterpret_cast<platform::WindowHandle>(handle);
        return r;
    };
    WindowList list = {record(std::u16string(1023, u'x'), 1), record(u"b", 2)};
    for (const auto& from : {record(u"short", 3), record(std::u16string(1023, u'y'), 4),
                             record(u"", 5), record(u"mid-length title", 6)}) {
        assignAt(list, 0, from);
        EXPECT_EQ(std::memcmp(&list[0], &from, sizeof from), 0) << "every unit, the tail too";
    }
    assignAt(list, 2, record(u"c", 7));  // at the end: appended
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(std::u16string(list[2].title), u"c");

    WindowList many;
    for (std::uintptr_t h = 0x1000; h < 0x1000 + 0x10 * 3000; h += 0x10)
        many.push_back(record(u"t", h));
    const HandleSet set(many);
    for (std::uintptr_t h = 0xF00; h < 0x1100 + 0x10 * 3000; h += 0x8)
        ASSERT_EQ(set.contains(reinterpret_cast<platform::WindowHandle>(h)),
                  h >= 0x1000 && h < 0x1000 + 0x10 * 3000 && h % 0x10 == 0)
            << h;
    EXPECT_FALSE(set.contains(nullptr));
    EXPECT_TRUE(HandleSet({WindowRecord{}}).contains(nullptr));
    EXPECT_FALSE(HandleSet({}).contains(reinterpret_cast<platform::WindowHandle>(0x10)));
}

// --- Filter and selection -------------------------------------------------------

TEST_F(SelectionTest, FilterPrunesInOrderAndClearingNeverChangesSelection) {
    discover({u"A", u"B", u"C"});
    clickRow(0);
    ctrlClickRow(1);
    ctrlClickRow(2);
    EXPECT_EQ(selectedTitles(), (Strings{"A", "B", "C"}));
    EXPECT_EQ(text(app().controls.countLabel), "選択ウィンドウ数：  3  ");

    typeFilter(u"[");  // matches nothing: everything leaves the selection
    typeFilter(u"");
    EXPECT_TRUE(app().selectedWindows.empty());

    selectAll();
    typeFilter(u"a");  // the titles are upper-case: "A" matches
    EXPECT_EQ(selectedTitles(), Strings{"A"});
    expectListInvariants();
}

TEST_F(SelectionTest, HidingOneOfThreeKeepsOthersInOrderAndClearingShowsItUnmarked) {
    discover({u"alpha", u"beta", u"gamma"});
    selectAll();
    typeFilter(u"a");  // alpha, beta, gamma all contain a: nothing pruned
    EXPECT_EQ(selectedTitles(), (Strings{"alpha", "beta", "gamma"}));
    typeFilter(u"am");  // only gamma
    typeFilter(u"");
    EXPECT_EQ(selectedTitles(), Strings{"gamma"});

    selectAll();
    typeFilter(u"ph");  // hides beta and gamma
    EXPECT_EQ(selectedTitles(), Strings{"alpha"});
    EXPECT_EQ(text(app().controls.countLabel), "選択ウィンドウ数：  1  ");
    clearCalls();
    typeFilter(u"");
    EXPECT_EQ(rows(), (Strings{"alpha", "beta", "gamma"}));
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(selectedTitles(), Strings{"alpha"});
    EXPECT_EQ(updates(), 1);
}

TEST_F(SelectionTest, PruneKeepsSelectionOrderAgainstRowOrder) {
    discover({u"web1", u"db1", u"web2", u"db2"});
    // A selection out of row order (as refresh can leave it).
    app().selectedWindows = {app().allWindows[3], app().allWindows[0], app().allWindows[1]};
    // rows: db1, db2, web1, web2 -> selected web2, db1, db2
    typeFilter(u"2");
    EXPECT_EQ(selectedTitles(), (Strings{"web2", "db2"}));
    EXPECT_EQ(marks(), (std::vector<bool>{true, true}));  // rows db2, web2
}

TEST_F(SelectionTest, ClickOrderDoesNotMatterSelectionIsInRowOrder) {
    discover({u"r0", u"r1", u"r2", u"r3", u"r4", u"r5"});
    clickRow(5);
    ctrlClickRow(2);
    EXPECT_EQ(selectedTitles(), (Strings{"r2", "r5"}));
    ctrlClickRow(5);  // toggled off again
    EXPECT_EQ(selectedTitles(), Strings{"r2"});
    expectListInvariants();
}

TEST_F(SelectionTest, SelectAllWithFilterSelectsShownRowsOnly) {
    discover({u"web1", u"db1", u"web2"});
    typeFilter(u"web");
    selectAll();
    EXPECT_EQ(selectedTitles(), (Strings{"web1", "web2"}));
    EXPECT_EQ(text(app().controls.countLabel), "選択ウィンドウ数：  2  ");
    expectListInvariants();
}

TEST_F(SelectionTest, InvertFlipsShownRowsAndMovesFocus) {
    discover({u"r0", u"r1", u"r2", u"r3"});
    clickRow(0);
    ctrlClickRow(2);
    desk().focus = app().controls.filterEdit;
    invertSelection();
    EXPECT_EQ(selectedTitles(), (Strings{"r1", "r3"}));
    EXPECT_EQ(desk().focus, app().controls.commandEdit);
    expectListInvariants();
    desk().focus = app().controls.windowList;
    invertSelection();
    EXPECT_EQ(selectedTitles(), (Strings{"r0", "r2"}));
    EXPECT_EQ(desk().focus, app().controls.commandEdit);
    expectListInvariants();

    // With a filter, only shown rows take part; hidden windows never get selected.
    typeFilter(u"r1");  // prunes r0, r2
    invertSelection();
    EXPECT_EQ(selectedTitles(), Strings{"r1"});
    invertSelection();
    EXPECT_TRUE(app().selectedWindows.empty());
    EXPECT_EQ(windowOpsEnabled(), std::vector<bool>(6, false));
    expectListInvariants();
}

TEST_F(SelectionTest, EmptyListSelectAllAndInvertStillUpdate) {
    discoverWindows();
    clearCalls();
    selectAll();
    invertSelection();
    EXPECT_TRUE(app().selectedWindows.empty());
    EXPECT_EQ(updates(), 2);
    EXPECT_EQ(text(app().controls.countLabel), "選択ウィンドウ数：  0  ");
}

TEST_F(SelectionTest, RefreshEmptiesFilterDropsClosedAndKeepsOrder) {
    auto h = discover({u"alpha", u"beta", u"gamma"});
    clickRow(0);
    ctrlClickRow(1);
    ctrlClickRow(2);
    typeFilter(u"a");
    desk()[h[0]].text = u"zeta";  // alpha's caption changes
    desk().close(h[2]);           // gamma closes
    auto fresh = terminal(u"delta");
    desk().focus = app().controls.filterEdit;
    clearCalls();
    refreshWindows();

    EXPECT_EQ(text(app().controls.filterEdit), "");
    EXPECT_EQ(rows(), (Strings{"beta", "delta", "zeta"}));
    // Selection order survives although alpha's row now comes after beta's.
    EXPECT_EQ(selectedHandles(), (std::vector<platform::WindowHandle>{h[0], h[1]}));
    EXPECT_EQ(selectedTitles(), (Strings{"alpha", "beta"}));  // titles as selected
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(desk().focus, app().controls.commandEdit);
    // The emptied filter starts no rebuild of its own: one update, at the end.
    EXPECT_EQ(updates(), 1);
    expectListInvariants();
    (void)fresh;
}

TEST_F(SelectionTest, RefreshWithoutChangesKeepsEverything) {
    discover({u"a", u"b", u"c"});
    clickRow(1);
    refreshWindows();
    refreshWindows();
    EXPECT_EQ(rows(), (Strings{"a", "b", "c"}));
    EXPECT_EQ(selectedTitles(), Strings{"b"});
    expectListInvariants();
}

TEST_F(SelectionTest, InvariantsHoldAcrossMixedOperations) {
    auto h = discover({u"web-a", u"web-b", u"db-a", u"db-b", u"mail"});
    auto step = [&](const char* what, auto&& op) {
        op();
        SCOPED_TRACE(what);
        expectListInvariants();
    };
    step("click", [&] { clickRow(4); });
    step("ctrl-click", [&] { ctrlClickRow(0); });
    step("filter", [&] { typeFilter(u"WEB"); });
    step("invert", [&] { invertSelection(); });
    step("filter -a", [&] { typeFilter(u"-a"); });
    step("select all", [&] { selectAll(); });
    step("clear", [&] { typeFilter(u""); });
    step("invert all", [&] { invertSelection(); });
    step("close and refresh", [&] {
        desk().close(h[0]);
        refreshWindows();
    });
    step("filter b", [&] { typeFilter(u"b"); });
    step("refresh with filter", [&] { refreshWindows(); });
}

// --- The update ------------------------------------------------------------------

TEST_F(SelectionTest, CountLabelText) {
    EXPECT_EQ(countLabelText(0), u"選択ウィンドウ数：  0  ");
    EXPECT_EQ(countLabelText(12), u"選択ウィンドウ数：  12 ");
    EXPECT_EQ(countLabelText(123), u"選択ウィンドウ数：  123");
    EXPECT_EQ(countLabelText(1000), u"選択ウィンドウ数：  1000");
}

TEST_F(SelectionTest, CountLabelFollowsSelectionOfTwelveAndAThousand) {
    for (int n : {12, 1000}) {
        SetUp();
        std::vector<std::u16string> titles;
        for (int i = 0; i < n; ++i)
            titles.push_back(u"host-" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                             std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
        discover(titles);
        selectAll();
        EXPECT_EQ(desk()[app().controls.countLabel].text, countLabelText(n));
        EXPECT_EQ(app().selectedWindows.size(), static_cast<std::size_t>(n));
    }
}

TEST_F(SelectionTest, UpdateEnablesExactlyTheSixWindowOperationControls) {
    discover({u"a", u"b"});
    const Controls& c = app().controls;
    updateSelectionState();
    EXPECT_EQ(windowOpsEnabled(), std::vector<bool>(6, false));
    clearCalls();
    clickRow(1);
    EXPECT_EQ(windowOpsEnabled(), std::vector<bool>(6, true));
    EXPECT_EQ(desk().callsFor("enableWindow"),
              (Strings{"enableWindow " + tag(c.displayCombo) + " 1",
                       "enableWindow " + tag(c.areaCombo) + " 1",
                       "enableWindow " + tag(c.columnsEdit) + " 1",
                       "enableWindow " + tag(c.rowsEdit) + " 1",
                       "enableWindow " + tag(c.arrangeButton) + " 1",
                       "enableWindow " + tag(c.hideOthersButton) + " 1"}));
    // The proposal for two windows on the full screen.
    EXPECT_EQ(text(c.columnsEdit), "2");
    EXPECT_EQ(text(c.rowsEdit), "2");
    ctrlClickRow(1);
    EXPECT_EQ(windowOpsEnabled(), std::vector<bool>(6, false));
    for (auto w : {c.invertButton, c.flashButton, c.refreshButton, c.windowList, c.filterEdit})
        EXPECT_TRUE(desk()[w].enabled);
    // The label is written only when its text changes: it repaints on every write.
    clearCalls();
    updateSelectionState();
    EXPECT_TRUE(desk().callsFor("setWindowText " + tag(c.countLabel)).empty());
    EXPECT_EQ(text(c.countLabel), "選択ウィンドウ数：  0  ");
    clickRow(0);
    EXPECT_EQ(desk().callsFor("setWindowText " + tag(c.countLabel)).size(), 1u);
}

TEST_F(SelectionTest, FocusMovesOnlyAfterInvertAndRefresh) {
    discover({u"a", u"b"});
    const Controls& c = app().controls;
    desk().focus = c.filterEdit;
    typeFilter(u"a");
    selectAll();
    typeFilter(u"");
    clickRow(1);
    EXPECT_EQ(desk().focus, c.filterEdit);
    EXPECT_TRUE(desk().callsFor("setFocus").empty());
    refreshWindows();
    EXPECT_EQ(desk().focus, c.commandEdit);
}

TEST_F(SelectionTest, ProgrammaticMarkingRunsTheUpdateOnce) {
    discover({u"a", u"b", u"c"});
    struct Op {
        const char* name;
        void (*run)();
        int updates;
    };
    const Op ops[] = {
        {"select all", &selectAll, 1},
        {"invert", &invertSelection, 1},
        {"filter", [] { platform::setWindowText(app().controls.filterEdit, u"b"); }, 1},
        {"refresh", &refreshWindows, 1},
    };
    for (const auto& op : ops) {
        clearCalls();
        op.run();
        EXPECT_EQ(updates(), op.updates) << op.name;
    }
}

// Every rebuild of the list runs inside one redraw suspension, builds its rows
// at most once, and draws the list once at the end.
TEST_F(SelectionTest, EveryRebuildIsBuiltOnceAndDrawnOnce) {
    discover({u"web1", u"db1", u"web2", u"db2"});
    const auto list = app().controls.windowList;
    struct Op {
        const char* name;
        void (*run)();
        int resets;  // rows rebuilt from scratch, or only marks set
    };
    const Op ops[] = {
        {"discovery at start-up",
         [] {
             app().allWindows.clear();
             discoverWindows();
         },
         1},
        {"select all", &selectAll, 0},
        {"filter", [] { platform::setWindowText(app().controls.filterEdit, u"web"); }, 1},
        {"refresh with a filter", &refreshWindows, 1},
        {"filter again", [] { platform::setWindowText(app().controls.filterEdit, u"1"); }, 1},
        {"filter cleared", [] { platform::setWindowText(app().controls.filterEdit, u""); }, 1},
        {"invert", &invertSelection, 0},
        {"refresh", &refreshWindows, 1},
        {"marks", [] { markRows(app().allWindows); }, 0},
    };
    for (const auto& op : ops) {
        SCOPED_TRACE(op.name);
        fake::Window& w = desk()[list];
        w.resets = w.rowsAdded = w.changesDrawn = 0;
        clearCalls();
        op.run();
        EXPECT_EQ(w.changesDrawn, 0) << "the list changed while it was drawn";
        EXPECT_EQ(desk().callsFor("setRedraw " + tag(list)),
                  (Strings{"setRedraw " + tag(list) + " 0", "setRedraw " + tag(list) + " 1"}));
        const auto c = calls();
        const auto on = std::find(c.begin(), c.end(), "setRedraw " + tag(list) + " 1");
        ASSERT_NE(on, c.end());
        EXPECT_EQ(std::count(on, c.end(), "redrawNow " + tag(list)), 1)
            << "one repaint, after redraw is back on";
        EXPECT_EQ(std::count(c.begin(), on, "redrawNow " + tag(list)), 0);
        EXPECT_EQ(w.resets, op.resets);
        EXPECT_EQ(w.rowsAdded, op.resets ? static_cast<int>(rows().size()) : 0)
            << "each row added once";
        EXPECT_TRUE(w.redraw);
        expectListInvariants();
    }
    EXPECT_EQ(selectedTitles(), (Strings{"db1", "db2", "web2"}));
}

}  // namespace
