// Start-up, the main window's frame, and shutting down from the caption.
#include "fixture.h"

using namespace bench;

class StartupTest : public TilewickBench {};

namespace {

// The count label with nothing selected: full-width colon, two blanks, the
// number left-aligned in a field three wide.
const wchar_t kCountZero[] = L"選択ウィンドウ数\uFF1A  0  ";

// A point of the main window's non-client area that answers `hit`, found by
// asking the window itself along its caption row.
bool findNonClientPoint(HWND main, LRESULT hit, POINT* out) {
    RECT r = windowRect(main);
    POINT clientTop = {0, 0};
    ClientToScreen(main, &clientTop);
    for (int y = r.top; y < clientTop.y; ++y) {
        int first = -1, last = -1;
        for (int x = r.right - 1; x > r.right - 200 && x >= r.left; --x) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_BLOCK, 2000, &answer);
            if (static_cast<LRESULT>(answer) == hit) {
                if (last < 0)
                    last = x;
                first = x;
            } else if (last >= 0) {
                break;
            }
        }
        if (last >= 0) {
            // The middle of the run, a few rows into it, is well inside the box.
            *out = POINT{(first + last) / 2, y + 4};
            return true;
        }
    }
    return false;
}

}  // namespace

TEST_F(StartupTest, WithNoTerminalTheListIsEmptyAndTheCountIsZero) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    EXPECT_EQ(show(listRows(ui.windowList)), show(std::vector<std::wstring>{}));
    EXPECT_TRUE(textIs(ui.countLabel, kCountZero));
    EXPECT_EQ(windowText(ui.main), L"Tilewick");
}

TEST_F(StartupTest, WithNothingSelectedTheSixWindowOperationControlsAreDisabled) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    for (HWND h : {ui.displayCombo, ui.areaCombo, ui.columnsEdit, ui.rowsEdit, ui.arrangeButton,
                   ui.hideOthersButton})
        EXPECT_FALSE(IsWindowEnabled(h)) << show(windowText(h)) << " is enabled";
    for (HWND h : {ui.invertButton, ui.flashButton, ui.refreshButton, ui.windowList, ui.filterEdit,
                   ui.commandEdit})
        EXPECT_TRUE(IsWindowEnabled(h)) << show(windowText(h)) << " is disabled";
}

TEST_F(StartupTest, MainWindowHasAThickFrameAndMinimiseBoxButNoMaximiseBox) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    LONG s = style(ui.main);
    EXPECT_TRUE(s & WS_THICKFRAME);
    EXPECT_TRUE(s & WS_MINIMIZEBOX);
    EXPECT_FALSE(s & WS_MAXIMIZEBOX);
    EXPECT_EQ(s & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(s & WS_SYSMENU);
    EXPECT_TRUE(exStyle(ui.main) & WS_EX_LAYERED);
    RECT r = windowRect(ui.main);
    EXPECT_EQ(r.right - r.left, 420);
    EXPECT_EQ(r.bottom - r.top, 340);
    EXPECT_TRUE(IsWindowVisible(ui.main));
}

TEST_F(StartupTest, ClickingTheCloseBoxEndsTheProcessWithExitCodeZero) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    POINT closeBox = {};
    ASSERT_TRUE(findNonClientPoint(ui.main, HTCLOSE, &closeBox)) << "no close box on the caption";
    click(closeBox);
    DWORD code = 12345;
    ASSERT_TRUE(bench.tilewick()->waitForExit(&code)) << "Tilewick is still running";
    EXPECT_EQ(code, 0u);
}

TEST_F(StartupTest, AltF4EndsTheProcessWithExitCodeZero) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    POINT caption = {};
    ASSERT_TRUE(findNonClientPoint(ui.main, HTCAPTION, &caption));
    caption.x -= 150;  // clear of the caption buttons
    click(caption);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    tapKey(VK_F4, {VK_MENU});
    DWORD code = 12345;
    ASSERT_TRUE(bench.tilewick()->waitForExit(&code)) << "Tilewick is still running";
    EXPECT_EQ(code, 0u);
}
