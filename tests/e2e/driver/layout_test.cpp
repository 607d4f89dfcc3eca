// The main window's controls on screen against the pure layout function.
#include "fixture.h"
#include "gestures.h"

#include "app/layout.h"

#include <map>

using namespace bench;

namespace {

class LayoutTest : public TilewickTest {
protected:
    static Box boxOf(HWND h) {
        RECT r = rectInParent(h);
        return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    static std::string showBox(const Box& b) {
        return "(" + std::to_string(b.x) + ", " + std::to_string(b.y) + ") " +
               std::to_string(b.width) + " x " + std::to_string(b.height);
    }

    SIZE clientSize() {
        RECT c = clientRect(ui.main);
        return SIZE{c.right - c.left, c.bottom - c.top};
    }

    // Every control the layout places, with what the layout says for it.
    std::vector<std::pair<const char*, std::pair<HWND, Box>>> laidOut(const MainLayout& l) {
        return {
            {"commandEdit", {ui.commandEdit, l.commandEdit}},
            {"filterEdit", {ui.filterEdit, l.filterEdit}},
            {"windowList", {ui.windowList, l.windowList}},
            {"invertButton", {ui.invertButton, l.invertButton}},
            {"flashButton", {ui.flashButton, l.flashButton}},
            {"windowOpsGroup", {ui.windowOpsGroup, l.windowOpsGroup}},
            {"refreshButton", {ui.refreshButton, l.refreshButton}},
            {"helpButton", {ui.helpButton, l.helpButton}},
            {"countLabel", {ui.countLabel, l.countLabel}},
            {"arrangeButton", {ui.arrangeButton, l.arrangeButton}},
            {"hideOthersButton", {ui.hideOthersButton, l.hideOthersButton}},
        };
    }

    // The list box has no LBS_NOINTEGRALHEIGHT, so the system (Windows and
    // Wine alike) trims its height to whole rows: it ends up to one row
    // shorter than asked. Such a trimmed height counts as the one asked for.
    int integralHeightAllowance(int seen, int asked) {
        LRESULT row = SendMessageW(ui.windowList, LB_GETITEMHEIGHT, 0, 0);
        if (row > 0 && seen <= asked && seen > asked - row)
            return asked;
        return seen;
    }

    // Waits until every control sits where computeLayout puts it for the
    // current client size; reports each one that does not.
    ::testing::AssertionResult matchesLayout() {
        std::string mismatches;
        bool ok = waitUntil([&] {
            SIZE s = clientSize();
            mismatches.clear();
            for (auto& [name, c] : laidOut(computeLayout(s.cx, s.cy))) {
                Box seen = boxOf(c.first);
                if (c.first == ui.windowList)
                    seen.height = integralHeightAllowance(seen.height, c.second.height);
                if (!(seen == c.second))
                    mismatches += std::string("\n  ") + name + " at " + showBox(seen) +
                                  ", layout says " + showBox(c.second);
            }
            return mismatches.empty();
        });
        if (ok)
            return ::testing::AssertionSuccess();
        SIZE s = clientSize();
        return ::testing::AssertionFailure()
               << "at client size " << s.cx << " x " << s.cy << mismatches;
    }

    std::map<std::string, Box> allBoxes() {
        return {
            {"commandEdit", boxOf(ui.commandEdit)},
            {"compactButton", boxOf(ui.compactButton)},
            {"listTitleLabel", boxOf(ui.listTitleLabel)},
            {"filterEdit", boxOf(ui.filterEdit)},
            {"windowList", boxOf(ui.windowList)},
            {"invertButton", boxOf(ui.invertButton)},
            {"flashButton", boxOf(ui.flashButton)},
            {"windowOpsGroup", boxOf(ui.windowOpsGroup)},
            {"refreshButton", boxOf(ui.refreshButton)},
            {"helpButton", boxOf(ui.helpButton)},
            {"countLabel", boxOf(ui.countLabel)},
            {"displayCombo", boxOf(ui.displayCombo)},
            {"areaCombo", boxOf(ui.areaCombo)},
            {"columnsLabel", boxOf(ui.columnsLabel)},
            {"columnsEdit", boxOf(ui.columnsEdit)},
            {"rowsLabel", boxOf(ui.rowsLabel)},
            {"rowsEdit", boxOf(ui.rowsEdit)},
            {"arrangeButton", boxOf(ui.arrangeButton)},
            {"hideOthersButton", boxOf(ui.hideOthersButton)},
        };
    }

    // Makes the window larger than its minimum (sizing only: the driver plays
    // the window manager here, it does not act on Tilewick's behalf), then
    // shrinks it as far as it goes by dragging its lower right corner up and
    // to the left with the mouse.
    void dragToMinimumSize() {
        SetWindowPos(ui.main, nullptr, 0, 0, 620, 520, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_TRUE(waitUntil([&] { return clientSize().cx > 500; }));
        EXPECT_TRUE(matchesLayout()) << "at the larger size";
        RECT r = windowRect(ui.main);
        POINT corner = {r.right - 2, r.bottom - 2};
        DWORD_PTR hit = 0;
        SendMessageTimeoutW(ui.main, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y), SMTO_BLOCK,
                            2000, &hit);
        ASSERT_EQ(static_cast<LRESULT>(hit), HTBOTTOMRIGHT) << "not on the sizing corner";
        drag(corner, {r.left + 60, r.top + 60});
        bool smallest = waitUntil([&] {
            RECT now = windowRect(ui.main);
            return now.right - now.left == 420 && now.bottom - now.top == 340;
        });
        RECT now = windowRect(ui.main);
        ASSERT_TRUE(smallest) << "the drag left the window at " << show(now)
                              << "; its minimum tracking size is 420 x 340";
    }
};

}  // namespace

TEST_F(LayoutTest, AtTheSmallestSizeEveryControlIsWhereTheLayoutPutsIt) {
    ASSERT_NO_FATAL_FAILURE(dragToMinimumSize());
    EXPECT_TRUE(matchesLayout());
}

TEST_F(LayoutTest, WideningBy100WidensFiveControlsAndMovesThreeAndNothingElse) {
    ASSERT_NO_FATAL_FAILURE(dragToMinimumSize());
    ASSERT_TRUE(matchesLayout());
    SIZE before = clientSize();
    std::map<std::string, Box> was = allBoxes();

    // Sizing only, as above.
    RECT r = windowRect(ui.main);
    SetWindowPos(ui.main, nullptr, 0, 0, r.right - r.left + 100, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(waitUntil([&] { return clientSize().cx == before.cx + 100; }));
    ASSERT_EQ(clientSize().cy, before.cy);
    EXPECT_TRUE(matchesLayout());

    std::map<std::string, Box> now = allBoxes();
    for (auto& [name, b] : was) {
        Box expected = b;
        if (name == "commandEdit" || name == "filterEdit" || name == "windowList" ||
            name == "invertButton" || name == "refreshButton")
            expected.width += 100;
        if (name == "flashButton" || name == "windowOpsGroup" || name == "countLabel")
            expected.x += 100;
        EXPECT_EQ(showBox(now[name]), showBox(expected)) << name;
    }
}

// The list's tooltip is relayed by the list's own procedure, the filter's
// watches the filter itself: either way the tip shows over the area a
// widening added.
TEST_F(LayoutTest, AfterWideningTheListAndFilterTipsShowOverTheNewArea) {
    RECT r = windowRect(ui.main);
    SetWindowPos(ui.main, nullptr, 0, 0, r.right - r.left + 100, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(waitUntil([&] { return matchesLayout(); }));
    gestures::activate(ui.main);
    const struct {
        HWND control;
        const wchar_t* tip;
    } cases[] = {
        {ui.windowList, L"操作するPuTTYウィンドウを選択してください。\nAlt+A で全選択ができます。"},
        {ui.filterEdit,
         L"PuTTYウィンドウをフィルタリングできます。\nAlt+F でフォーカスが移動します。"},
    };
    for (const auto& c : cases) {
        const RECT area = windowRect(c.control);
        const POINT inNewArea = {area.right - 30, (area.top + area.bottom) / 2};
        std::wstring shown;
        const bool tipShown = waitUntil([&] {
            // A resting mouse after a move: the tip needs the move to see the mouse.
            moveMouse({inNewArea.x - 1, inNewArea.y});
            moveMouse(inNewArea);
            for (int i = 0; i < 10; ++i) {
                for (HWND w : topWindowsOf(bench.tilewick()->pid(), L"tooltips_class32"))
                    if (IsWindowVisible(w) && (shown = windowText(w)) == c.tip)
                        return true;
                Sleep(100);
            }
            return false;
        });
        EXPECT_TRUE(tipShown) << "the tip over " << show(c.tip) << " did not show; last seen "
                              << show(shown);
        moveMouse({r.left + 5, r.top + 5});  // away, so the next tip starts afresh
    }
}
