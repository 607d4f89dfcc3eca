// Translucency, the restore hot key, compact mode and the size limits.
#include "fixture.h"
#include "gestures.h"

#include <fstream>

using namespace bench;

namespace {

class ViewStateTest : public TilewickBench {
protected:
    void writeSettings(const std::string& text) {
        std::ofstream out(narrow(documentsDir() + L"\\twk.ini"), std::ios::binary);
        out << text;
    }

    ::testing::AssertionResult alphaIs(BYTE expected) {
        BYTE alpha = 0;
        bool set = false;
        if (waitUntil([&] { return (set = layeredAlpha(ui.main, &alpha)) && alpha == expected; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "alpha is " << (set ? std::to_string(alpha) : "unset") << ", expected "
               << int(expected);
    }

    int outerHeight() {
        RECT r = windowRect(ui.main);
        return r.bottom - r.top;
    }

    std::vector<HWND> compactHidden() {
        return {ui.filterEdit,     ui.windowList,    ui.invertButton, ui.flashButton,
                ui.windowOpsGroup, ui.refreshButton, ui.helpButton,   ui.countLabel};
    }
};

TEST_F(ViewStateTest, WithoutASettingsFileTheFadeGoesToSixtyAndNoFileIsWritten) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    doubleClick(centreOf(ui.commandEdit));
    EXPECT_TRUE(alphaIs(60));
    EXPECT_FALSE(fileExists(documentsDir() + L"\\twk.ini"));
}

TEST_F(ViewStateTest, DoubleClicksInTheCommandFieldFadeToTheStoredAlphaAndBack) {
    writeSettings("[BASE]\r\npasteConfirm = TRUE\r\nforcePaste = TRUE\r\nalpha = 30\r\n");
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    doubleClick(centreOf(ui.commandEdit));
    EXPECT_TRUE(alphaIs(30));
    doubleClick(centreOf(ui.commandEdit));
    EXPECT_TRUE(alphaIs(255));
    EXPECT_TRUE(textIs(ui.commandEdit, L""));  // no word selection, no text
}

TEST_F(ViewStateTest, CtrlShiftTBringsAMinimisedTranslucentWindowBack) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    gestures::alt('T');
    ASSERT_TRUE(alphaIs(60));
    // Minimising is the user's own doing, not one of Tilewick's actions.
    ShowWindow(ui.main, SW_MINIMIZE);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(ui.main) != FALSE; }));
    tapKey('T', {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(waitUntil([&] { return placement(ui.main).showCmd == SW_SHOWNORMAL; }));
    EXPECT_TRUE(alphaIs(255));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
}

TEST_F(ViewStateTest, CompactModeShowsOnlyTheCommandRowAndKeepsItsHeight) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    const int normalHeight = outerHeight();
    const RECT before = windowRect(ui.main);

    click(centreOf(ui.compactButton));
    ASSERT_TRUE(waitUntil([&] { return outerHeight() == 95; })) << outerHeight();
    EXPECT_EQ(windowRect(ui.main).top, before.top);
    for (HWND h : compactHidden())
        EXPECT_FALSE(IsWindowVisible(h)) << narrow(className(h));
    for (HWND h : {ui.commandEdit, ui.compactButton, ui.listTitleLabel})
        EXPECT_TRUE(IsWindowVisible(h)) << narrow(className(h));

    // Dragging the lower frame cannot change the height.
    RECT r = windowRect(ui.main);
    const int midX = (r.left + r.right) / 2;
    drag({midX, r.bottom - 2}, {midX, r.bottom + 200});
    EXPECT_EQ(outerHeight(), 95);

    // A refresh rebuilds the hidden list with its redraw off and on again;
    // that must not show it.
    TerminalOptions away;  // not over Tilewick, which the clicks must reach
    away.title = L"t1";
    away.hasRect = true;
    away.rect = {800, 500, 1200, 800};
    ASSERT_NO_FATAL_FAILURE(startTerminal(away));
    gestures::activate(ui.main);
    tapKey(VK_F5);
    EXPECT_TRUE(listShows({L"t1"}));
    EXPECT_FALSE(IsWindowVisible(ui.windowList));

    click(centreOf(ui.compactButton));
    EXPECT_TRUE(waitUntil([&] { return outerHeight() == normalHeight; })) << outerHeight();
    for (HWND h : compactHidden())
        EXPECT_TRUE(IsWindowVisible(h)) << narrow(className(h));
}

TEST_F(ViewStateTest, TheWindowCannotBeDraggedSmallerThan420By340) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    RECT r = windowRect(ui.main);
    drag({r.right - 2, r.bottom - 2}, {r.left + 100, r.top + 100});
    waitUntil([&] {
        RECT now = windowRect(ui.main);
        return now.right - now.left <= 420;
    });
    RECT now = windowRect(ui.main);
    EXPECT_EQ(now.right - now.left, 420);
    EXPECT_EQ(now.bottom - now.top, 340);
}

}  // namespace
