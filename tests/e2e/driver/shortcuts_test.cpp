// Keyboard shortcuts, the system-menu items, the settings dialog, help and about.
#include "fixture.h"
#include "gestures.h"

#include <commctrl.h>

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

    HWND popup(const wchar_t* caption) {
        for (HWND w : topWindowsOf(bench.tilewick()->pid()))
            if (windowText(w) == caption && IsWindowVisible(w))
                return w;
        return nullptr;
    }

    HWND waitForPopup(const wchar_t* caption) {
        HWND w = nullptr;
        waitUntil([&] { return (w = popup(caption)) != nullptr; });
        return w;
    }

    bool gone(const wchar_t* caption) {
        return waitUntil([&] { return popup(caption) == nullptr; });
    }

    ::testing::AssertionResult alphaIs(BYTE expected) {
        BYTE alpha = 0;
        if (waitUntil([&] { return layeredAlpha(ui.main, &alpha) && alpha == expected; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "alpha is " << int(alpha);
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

TEST_F(ShortcutsTest, AltOOpensSettingsWithoutTouchingTheOpacity) {
    alt('T');
    ASSERT_TRUE(alphaIs(60));
    alt('O');
    HWND dialog = waitForPopup(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(alphaIs(60));
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(gone(kSettingsCaption));
    EXPECT_TRUE(alphaIs(255));
    EXPECT_FALSE(fileExists(documentsDir() + L"\\twk.ini"));
}

TEST_F(ShortcutsTest, TheSystemMenuOptionsItemMakesTheWindowOpaqueFirst) {
    alt('T');
    ASSERT_TRUE(alphaIs(60));
    tapKey(VK_SPACE, {VK_MENU});
    tapKey('O');
    HWND dialog = waitForPopup(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(alphaIs(255));
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(gone(kSettingsCaption));
}

TEST_F(ShortcutsTest, AltQuestionMarkAndAltSlashOpenTheAboutBox) {
    tapKey(VK_OEM_2, {VK_MENU});
    ASSERT_NE(waitForPopup(kAboutCaption), nullptr);
    tapKey(VK_RETURN);
    ASSERT_TRUE(gone(kAboutCaption));
    tapKey(VK_OEM_2, {VK_MENU, VK_SHIFT});
    ASSERT_NE(waitForPopup(kAboutCaption), nullptr);
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(gone(kAboutCaption));
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
    ASSERT_TRUE(gone(kSettingsCaption));
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
    ASSERT_TRUE(gone(kSettingsCaption));
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
        ASSERT_TRUE(gone(kSettingsCaption)) << way;
        EXPECT_TRUE(alphaIs(255));
    }
    EXPECT_EQ(readFile(documentsDir() + L"\\twk.ini"), before);
}

TEST_F(ShortcutsTest, HelpIsWrittenToDocumentsAndRemovedOnQuit) {
    click(centreOf(ui.helpButton));
    ASSERT_TRUE(waitUntil([&] { return fileExists(documentsDir() + L"\\tw.chm"); }));
    EXPECT_EQ(readFile(documentsDir() + L"\\tw.chm").substr(0, 4), "ITSF");
    gestures::activate(ui.main);
    alt(VK_F4);
    DWORD code = 1;
    ASSERT_TRUE(bench.tilewick()->waitForExit(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(fileExists(documentsDir() + L"\\tw.chm"));
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
