// Keyboard shortcuts, the system-menu items, the settings dialog, help and about.
#include "fixture.h"
#include "gestures.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <fstream>
#include <sstream>

using namespace bench;
using gestures::alt;

namespace {

const wchar_t kSettingsCaption[] = L"Tilewick Setup";
const wchar_t kAboutCaption[] = L"バージョン情報 Tilewick";

class ShortcutsTest : public TilewickBench {
protected:
    void SetUp() override {
        TilewickBench::SetUp();
        if (HasFatalFailure())
            return;
        if (!settingsText.empty())
            std::ofstream(settingsPath(), std::ios::binary) << settingsText;
        ASSERT_NO_FATAL_FAILURE(startTilewick());
        gestures::activate(ui.main);
    }

    static std::string settingsPath() { return narrow(documentsDir() + L"\\twk.ini"); }
    static std::string helpPath() { return narrow(documentsDir() + L"\\tw.chm"); }

    ::testing::AssertionResult alphaIs(BYTE expected) {
        BYTE alpha = 0;
        if (waitUntil([&] { return layeredAlpha(ui.main, &alpha) && alpha == expected; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "alpha is " << int(alpha);
    }

    // Alt+T, then F1 as a marker behind it: once the captions have flipped the
    // fade is over, and the alpha it left is read at once.
    int alphaAfterToggle() {
        alt('T');
        const std::wstring before = windowText(ui.invertButton);
        tapKey(VK_F1);
        if (!waitUntil([&] { return windowText(ui.invertButton) != before; }))
            return -1;
        BYTE alpha = 0;
        return layeredAlpha(ui.main, &alpha) ? alpha : -1;
    }

    // Opens a dialog with `open`, checks the alpha while it is open, and
    // closes it with Esc.
    ::testing::AssertionResult dialogKeepsAlpha(const wchar_t* caption,
                                                const std::function<void()>& open, BYTE whileOpen) {
        open();
        if (!waitForPopup(caption))
            return ::testing::AssertionFailure() << narrow(caption) << " did not open";
        auto alpha = alphaIs(whileOpen);
        tapKey(VK_ESCAPE);
        if (!popupGone(caption))
            return ::testing::AssertionFailure() << narrow(caption) << " did not close";
        return alpha;
    }

    static std::vector<std::string> fileLines(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }

    std::string settingsText;  // written before Tilewick starts when not empty
};

TEST_F(ShortcutsTest, AltLFromTheFilterFieldArrangesAndTypesNothingThere) {
    click(centreOf(ui.filterEdit));
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.filterEdit; }));
    alt('L');
    // Arranging ends with Tilewick taking the foreground back after its pause.
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    tapKey('Q');
    EXPECT_TRUE(textIs(ui.filterEdit, L"q"));
}

TEST_F(ShortcutsTest, F1ShowsTheShortcutLettersAndF1AgainHidesThem) {
    tapKey(VK_F1);
    EXPECT_TRUE(textIs(ui.invertButton, L"選択を反転(R)"));
    EXPECT_TRUE(textIs(ui.flashButton, L"点滅(B)"));
    EXPECT_TRUE(textIs(ui.refreshButton, L"PuTTYウィンドウ更新(F5)"));
    EXPECT_TRUE(textIs(ui.arrangeButton, L"並べる(L)"));
    EXPECT_TRUE(textIs(ui.hideOthersButton, L"他を隠す(H)"));
    tapKey(VK_F1);
    EXPECT_TRUE(textIs(ui.invertButton, L"選択を反転"));
    EXPECT_TRUE(textIs(ui.flashButton, L"点滅"));
    EXPECT_TRUE(textIs(ui.refreshButton, L"PuTTYウィンドウ更新"));
    EXPECT_TRUE(textIs(ui.arrangeButton, L"並べる"));
    EXPECT_TRUE(textIs(ui.hideOthersButton, L"他を隠す"));
}

TEST_F(ShortcutsTest, AboutAndSettingsFromTheKeyboardLeaveTheTranslucentStateOn) {
    alt('T');
    ASSERT_TRUE(alphaIs(60));
    const auto altSlash = [] { tapKey(VK_OEM_2, {VK_MENU}); };
    const auto altQuestionMark = [] { tapKey(VK_OEM_2, {VK_MENU, VK_SHIFT}); };
    const auto altO = [] { alt('O'); };
    EXPECT_TRUE(dialogKeepsAlpha(kAboutCaption, altSlash, 60));
    EXPECT_TRUE(alphaIs(60));
    EXPECT_TRUE(dialogKeepsAlpha(kAboutCaption, altQuestionMark, 60));
    EXPECT_TRUE(alphaIs(60));
    // The settings dialog makes the window opaque as it closes; the state stays on.
    EXPECT_TRUE(dialogKeepsAlpha(kSettingsCaption, altO, 60));
    EXPECT_TRUE(alphaIs(255));
    EXPECT_EQ(alphaAfterToggle(), 255) << "the next toggle fades up";
    EXPECT_EQ(alphaAfterToggle(), 60) << "the one after fades down";
    EXPECT_FALSE(fileExists(documentsDir() + L"\\twk.ini"));
}

TEST_F(ShortcutsTest, TheSystemMenuItemsMakeTheWindowOpaqueFirstAndEndTheTranslucentState) {
    const auto systemMenu = [](WORD mnemonic) {
        return [mnemonic] {
            tapKey(VK_SPACE, {VK_MENU});
            tapKey(mnemonic);
        };
    };
    alt('T');
    ASSERT_TRUE(alphaIs(60));
    EXPECT_TRUE(dialogKeepsAlpha(kSettingsCaption, systemMenu('O'), 255));
    EXPECT_EQ(alphaAfterToggle(), 60) << "the next toggle fades down";
    EXPECT_TRUE(dialogKeepsAlpha(kAboutCaption, systemMenu('A'), 255));
    EXPECT_EQ(alphaAfterToggle(), 60) << "the next toggle fades down";
}

TEST_F(ShortcutsTest, TheSliderPreviewsLiveAndOkSavesTheSection) {
    alt('O');
    HWND dialog = waitForPopup(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    HWND slider = GetDlgItem(dialog, 115);
    ASSERT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 60);
    tapKey(VK_RIGHT);  // the slider has the focus
    EXPECT_TRUE(alphaIs(61));
    EXPECT_TRUE(textIs(GetDlgItem(dialog, 116), L"61"));
    tapKey(VK_RETURN);  // OK is the default button
    ASSERT_TRUE(popupGone(kSettingsCaption));
    EXPECT_TRUE(alphaIs(255));
    const auto lines = fileLines(settingsPath());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "[BASE]\r");
    // Wine splits the section's first line at "=" and drops the blank after it;
    // Windows writes "pasteConfirm = TRUE".
    EXPECT_TRUE(lines[1] == "pasteConfirm = TRUE\r" || lines[1] == "pasteConfirm =TRUE\r")
        << lines[1];
    EXPECT_EQ(lines[2], "forcePaste = FALSE\r");
    EXPECT_EQ(lines[3], "alpha = 61\r");
}

class StoredSettingsTest : public ShortcutsTest {
protected:
    void SetUp() override {
        settingsText = "[USER]\r\nkeep=1\r\n[BASE]\r\nalpha=300\r\nextra=1\r\n";
        ShortcutsTest::SetUp();
    }
};

TEST_F(StoredSettingsTest, AnAlphaOf300ShowsAsItIsAndOkStores255AndKeepsOtherSections) {
    alt('O');
    HWND dialog = waitForPopup(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(textIs(GetDlgItem(dialog, 116), L"300"));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, 115), TBM_GETPOS, 0, 0), 255);
    click(centreOf(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(popupGone(kSettingsCaption));
    std::ifstream in(settingsPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    EXPECT_NE(s.find("[USER]"), std::string::npos) << s;
    EXPECT_NE(s.find("keep"), std::string::npos) << s;
    EXPECT_EQ(s.find("extra"), std::string::npos) << s;
    EXPECT_NE(s.find("alpha = 255"), std::string::npos) << s;
}

TEST_F(StoredSettingsTest, CancelEscapeAndTheCloseBoxChangeNothing) {
    const std::string before = readFile(documentsDir() + L"\\twk.ini");
    for (int way = 0; way < 3; ++way) {
        alt('O');
        HWND dialog = waitForPopup(kSettingsCaption);
        ASSERT_NE(dialog, nullptr);
        tapKey(VK_LEFT);
        if (way == 0) {
            click(centreOf(GetDlgItem(dialog, IDCANCEL)));
        } else if (way == 1) {
            tapKey(VK_ESCAPE);
        } else {
            RECT r = windowRect(dialog);
            click({r.right - 12, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 3});
        }
        ASSERT_TRUE(popupGone(kSettingsCaption)) << way;
        EXPECT_TRUE(alphaIs(255));
    }
    EXPECT_EQ(readFile(documentsDir() + L"\\twk.ini"), before);
}

TEST_F(ShortcutsTest, HelpIsWrittenToDocumentsAndRemovedOnQuit) {
    click(centreOf(ui.helpButton));
    ASSERT_TRUE(waitUntil([&] { return fileExists(documentsDir() + L"\\tw.chm"); }));
    EXPECT_EQ(readFile(documentsDir() + L"\\tw.chm").substr(0, 4), "ITSF");
    // The help window belongs to Tilewick's main window.
    EXPECT_TRUE(waitUntil([&] {
        for (HWND w : topWindowsOf(bench.tilewick()->pid()))
            if (w != ui.main && GetWindow(w, GW_OWNER) == ui.main && IsWindowVisible(w))
                return true;
        return false;
    })) << "no help window owned by the main window";
    gestures::activate(ui.main);
    alt(VK_F4);
    DWORD code = 1;
    ASSERT_TRUE(bench.tilewick()->waitForExit(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(fileExists(documentsDir() + L"\\tw.chm"));
}

// Help pressed again while something still holds tw.chm open for reading (on
// Windows, a viewer that has not let go of it yet): the file cannot be
// rewritten, and the one this run wrote is shown as it stands.
TEST_F(ShortcutsTest, HelpPressedAgainWhileTheFileIsHeldShowsThisRunsFile) {
    const std::wstring path = documentsDir() + L"\\tw.chm";
    auto helpWindow = [&] {
        for (HWND w : topWindowsOf(bench.tilewick()->pid()))
            if (w != ui.main && GetWindow(w, GW_OWNER) == ui.main && IsWindowVisible(w))
                return w;
        return HWND{};
    };
    click(centreOf(ui.helpButton));
    HWND shown = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (shown = helpWindow()) != nullptr; })) << "no help window";
    PostMessageW(shown, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return helpWindow() == nullptr; }));

    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    gestures::activate(ui.main);
    click(centreOf(ui.helpButton));
    EXPECT_TRUE(waitUntil([&] { return helpWindow() != nullptr; }))
        << "help pressed again showed nothing";
    CloseHandle(holder);
}

TEST(HelpFileTest, AUsersOwnHelpFileSurvivesStartAndQuit) {
    const std::wstring path = documentsDir() + L"\\tw.chm";
    std::ofstream(narrow(path), std::ios::binary) << "my notes";
    {
        Bench b;
        Controls ui;
        std::string why;
        ASSERT_TRUE(b.startTilewick(&ui, &why)) << why;
        gestures::activate(ui.main);
        alt(VK_F4);
        DWORD code = 1;
        ASSERT_TRUE(b.tilewick()->waitForExit(&code));
    }
    EXPECT_EQ(readFile(path), "my notes");
    DeleteFileW(path.c_str());
}

}  // namespace

namespace {

// Every area shortcut selects its area, proposes the grid and arranges at once.
struct AreaKey {
    WORD vk;
    int area;
    const char* name;
};

class AreaShortcutTest : public TilewickBench, public ::testing::WithParamInterface<AreaKey> {};

TEST_P(AreaShortcutTest, SelectsTheAreaProposesAndArranges) {
    const AreaKey key = GetParam();
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(3));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3"}));
    gestures::activate(ui.main);
    alt('A');
    alt(key.vk);
    EXPECT_TRUE(waitUntil([&] { return comboSelection(ui.areaCombo) == key.area; }));
    // Three windows: one column in a left or right half, two otherwise.
    const bool tall = key.area == 1 || key.area == 3;
    EXPECT_TRUE(textIs(ui.columnsEdit, tall ? L"1" : L"2"));
    RECT target = gestures::monitorRects().at(0);
    const LONG halfW = (target.right - target.left) / 2, halfH = (target.bottom - target.top) / 2;
    if (key.area == 1)
        target.right = target.left + halfW;
    if (key.area == 2)
        target.bottom = target.top + halfH;
    if (key.area == 3)
        target.left += halfW, target.right = target.left + halfW;
    if (key.area == 4)
        target.top += halfH, target.bottom = target.top + halfH;
    // The first window always takes the top-left cell of the target.
    EXPECT_TRUE(waitUntil([&] {
        const RECT r = placement(terminals[0]->hwnd()).rcNormalPosition;
        return r.left == target.left && r.top == target.top;
    })) << show(placement(terminals[0]->hwnd()).rcNormalPosition)
        << " not at " << show(target);
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
}

INSTANTIATE_TEST_SUITE_P(
    AllAreaKeys, AreaShortcutTest,
    ::testing::Values(AreaKey{VK_NUMPAD5, 0, "Numpad5"}, AreaKey{VK_NUMPAD4, 1, "Numpad4"},
                      AreaKey{VK_NUMPAD8, 2, "Numpad8"}, AreaKey{VK_NUMPAD6, 3, "Numpad6"},
                      AreaKey{VK_NUMPAD2, 4, "Numpad2"}, AreaKey{VK_RETURN, 0, "Enter"},
                      AreaKey{VK_LEFT, 1, "Left"}, AreaKey{VK_UP, 2, "Up"},
                      AreaKey{VK_RIGHT, 3, "Right"}, AreaKey{VK_DOWN, 4, "Down"}),
    [](const ::testing::TestParamInfo<AreaKey>& info) { return std::string(info.param.name); });

class FocusShortcutTest : public TilewickTest {};

class FocusMoveTest : public TilewickBench {};

TEST_F(FocusMoveTest, AltDFSIMoveTheFocusFromAnywhere) {
    // The two lists take the focus only while they are enabled, with a selection.
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(1));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1"}));
    gestures::activate(ui.main);
    alt('A');
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(ui.displayCombo) != FALSE; }));
    const std::pair<WORD, HWND> moves[] = {
        {'D', ui.displayCombo}, {'F', ui.filterEdit}, {'S', ui.areaCombo}, {'I', ui.commandEdit}};
    for (const auto& [key, control] : moves) {
        alt(key);
        EXPECT_TRUE(waitUntil([&] { return focusOf(ui.main) == control; }))
            << "Alt+" << char(key) << " left the focus on " << narrow(className(focusOf(ui.main)));
    }
}

// The help viewer runs on Tilewick's thread, but its keys are its own: Alt+H
// and Alt+L pressed there used to hide and arrange terminals behind it.
TEST_F(FocusMoveTest, AltHAndAltLInTheHelpViewerChangeNoTerminal) {
    ASSERT_NO_FATAL_FAILURE(startNumberedTerminals(3));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"t1", L"t2", L"t3"}));
    gestures::activate(ui.main);
    gestures::clickRow(ui.windowList, 0);  // t1 selected: Alt+L would move it, Alt+H hide t2, t3
    ASSERT_TRUE(waitUntil([&] { return listMarks(ui.windowList) == std::vector<bool>{1, 0, 0}; }));
    std::vector<WINDOWPLACEMENT> before;
    for (const auto& t : terminals)
        before.push_back(placement(t->hwnd()));

    click(centreOf(ui.helpButton));
    HWND viewer = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        viewer = GetForegroundWindow();
        return viewer && viewer != ui.main && GetWindow(viewer, GW_OWNER) == ui.main;
    })) << "the help viewer did not come to the front";
    alt('H');
    alt('L');
    ASSERT_NO_FATAL_FAILURE(screenshot(L"help-viewer-took-alt-h-and-alt-l"));
    // F1 in the main window behind them: once its captions flip, the keys
    // before it have been handled on Tilewick's thread.
    gestures::activate(ui.main);
    const std::wstring caption = windowText(ui.invertButton);
    tapKey(VK_F1);
    ASSERT_TRUE(waitUntil([&] { return windowText(ui.invertButton) != caption; }));
    for (size_t i = 0; i < terminals.size(); ++i) {
        const WINDOWPLACEMENT now = placement(terminals[i]->hwnd());
        EXPECT_EQ(now.showCmd, before[i].showCmd) << "t" << i + 1 << "'s show state changed";
        EXPECT_EQ(show(now.rcNormalPosition), show(before[i].rcNormalPosition))
            << "t" << i + 1 << " moved";
    }
}

TEST_F(FocusShortcutTest, AltEAndTheListTitleToggleCompactMode) {
    gestures::activate(ui.main);
    const auto height = [&] {
        const RECT r = windowRect(ui.main);
        return r.bottom - r.top;
    };
    const LONG normal = height();
    alt('E');
    EXPECT_TRUE(waitUntil([&] { return height() == 95; }));
    doubleClick(centreOf(ui.listTitleLabel));
    EXPECT_TRUE(waitUntil([&] { return height() == normal; }));
}

// The chevron on the compact button follows the mode; the help button shows its picture.
std::vector<COLORREF> pixels(HWND window) {
    RECT r = windowRect(window);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> out;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            out.push_back(GetPixel(screen, r.left + x, r.top + y));
    ReleaseDC(nullptr, screen);
    return out;
}

TEST_F(FocusShortcutTest, TheCompactButtonShowsTheChevronOfTheCurrentMode) {
    gestures::activate(ui.main);
    // An upward chevron is narrowest in its top ink row, a downward one in its bottom row.
    const auto pointsUp = [](const std::vector<COLORREF>& p) {
        int first = -1, last = -1;
        std::vector<int> width(16, 0);
        for (int i = 0; i < 256; ++i)
            if (GetRValue(p[i]) < 0x80) {
                ++width[i / 16];
                first = first < 0 ? i / 16 : first;
                last = i / 16;
            }
        return first >= 0 && width[first] < width[last];
    };
    const auto pointsDown = [&](const std::vector<COLORREF>& p) {
        return !pointsUp(p) && std::count(p.begin(), p.end(), p[0]) < 250;
    };
    // The button may repaint in steps (pressed, focus), so each check waits for the finished
    // picture rather than for the first change.
    EXPECT_TRUE(waitUntil([&] { return pointsUp(pixels(ui.compactButton)); }));
    ASSERT_NO_FATAL_FAILURE(screenshot(L"compact-off"));
    alt('E');
    EXPECT_TRUE(waitUntil([&] { return pointsDown(pixels(ui.compactButton)); }));
    ASSERT_NO_FATAL_FAILURE(screenshot(L"compact-on"));
    alt('E');
    EXPECT_TRUE(waitUntil([&] { return pointsUp(pixels(ui.compactButton)); }));
    // Shown again after compact mode, the help button paints a moment later.
    EXPECT_TRUE(waitUntil([&] {
        const auto help = pixels(ui.helpButton);
        return std::count(help.begin(), help.end(), help[0]) < 250;
    })) << "the help button is blank";
}

}  // namespace
