// Tilewick at the display scale the bench runs at: its size, its size
// limits, every control's place and size, the compact strip, and pictures of
// the main window and the three dialogs. Run twice by ctest, at 96 DPI and
// with LogPixels 144 (scripts/wine-dpi.sh), not with the other tests.
#include "fixture.h"
#include "gestures.h"

#include "app/layout.h"

#include <cstdlib>

using namespace bench;

namespace {

const wchar_t kConfirmCaption[] = L"貼り付ける内容を確認してください。";
const wchar_t kSettingsCaption[] = L"Tilewick Setup";
const wchar_t kAboutCaption[] = L"バージョン情報 Tilewick";
const wchar_t kSessionsCaption[] = L"PuTTYセッションを開く";

// Wine takes the scale of every window from LogPixels, as the screen's DPI.
unsigned benchDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<unsigned>(dpi);
}

std::string showBox(const Box& b) {
    return "(" + std::to_string(b.x) + ", " + std::to_string(b.y) + ") " + std::to_string(b.width) +
           " x " + std::to_string(b.height);
}

bool withinAPixel(const Box& a, const Box& b) {
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1 &&
           std::abs(a.width - b.width) <= 1 && std::abs(a.height - b.height) <= 1;
}

class ScaledWindow : public TilewickBench {
protected:
    void SetUp() override {
        TilewickBench::SetUp();
        dpi = benchDpi();
        std::printf("bench DPI: %u\n", dpi);
        // Run by ctest only at the two scales it sets up.
        ASSERT_TRUE(dpi == 96 || dpi == 144) << "LogPixels is " << dpi;
    }

    int s(int length) const { return scaleToDpi(length, dpi); }
    std::wstring shotName(const wchar_t* what) const {
        return L"scaled-" + std::to_wstring(dpi) + L"-" + what;
    }

    SIZE outerSize() {
        RECT r = windowRect(ui.main);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    static Box boxOf(HWND h) {
        RECT r = rectInParent(h);
        return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    // Every control with where the layout rule (every constant scaled) or
    // its scaled creation geometry puts it.
    std::vector<std::pair<const char*, std::pair<HWND, Box>>> expectedBoxes() {
        RECT c = clientRect(ui.main);
        const MainLayout l = computeLayout(c.right - c.left, c.bottom - c.top, dpi);
        auto at = [&](int x, int y, int w, int h) { return scaleBox({x, y, w, h}, dpi); };
        return {
            {"commandEdit", {ui.commandEdit, l.commandEdit}},
            {"compactButton", {ui.compactButton, at(10, 38, 18, 18)}},
            {"listTitleLabel", {ui.listTitleLabel, at(30, 40, 150, 20)}},
            {"filterEdit", {ui.filterEdit, l.filterEdit}},
            {"windowList", {ui.windowList, l.windowList}},
            {"invertButton", {ui.invertButton, l.invertButton}},
            {"flashButton", {ui.flashButton, l.flashButton}},
            {"windowOpsGroup", {ui.windowOpsGroup, l.windowOpsGroup}},
            {"displayCombo", {ui.displayCombo, at(8, 18, 115, 0)}},
            {"areaCombo", {ui.areaCombo, at(8, 45, 115, 0)}},
            {"columnsLabel", {ui.columnsLabel, at(8, 75, 15, 20)}},
            {"columnsEdit", {ui.columnsEdit, at(23, 70, 40, 21)}},
            {"rowsLabel", {ui.rowsLabel, at(68, 75, 15, 20)}},
            {"rowsEdit", {ui.rowsEdit, at(83, 70, 40, 21)}},
            {"arrangeButton", {ui.arrangeButton, l.arrangeButton}},
            {"hideOthersButton", {ui.hideOthersButton, l.hideOthersButton}},
            {"refreshButton", {ui.refreshButton, l.refreshButton}},
            {"helpButton", {ui.helpButton, l.helpButton}},
            {"countLabel", {ui.countLabel, l.countLabel}},
        };
    }

    ::testing::AssertionResult everyControlScaled() {
        std::string mismatches;
        const bool ok = waitUntil([&] {
            mismatches.clear();
            for (auto& [name, c] : expectedBoxes()) {
                Box seen = boxOf(c.first);
                Box want = c.second;
                // A closed drop-down list is as tall as its font makes it.
                if (c.first == ui.displayCombo || c.first == ui.areaCombo)
                    want.height = seen.height;
                // Without LBS_NOINTEGRALHEIGHT the list is trimmed to whole rows.
                const LRESULT row = SendMessageW(ui.windowList, LB_GETITEMHEIGHT, 0, 0);
                if (c.first == ui.windowList && row > 0 && seen.height <= want.height &&
                    seen.height > want.height - row)
                    want.height = seen.height;
                if (!withinAPixel(seen, want))
                    mismatches += std::string("\n  ") + name + " at " + showBox(seen) +
                                  ", expected " + showBox(want);
            }
            return mismatches.empty();
        });
        if (ok)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "at " << dpi << " DPI" << mismatches;
    }

    void dialogPicture(const wchar_t* caption, const wchar_t* what) {
        HWND dialog = waitForPopup(caption);
        ASSERT_NE(dialog, nullptr) << narrow(what);
        screenshot(shotName(what));
        tapKey(VK_ESCAPE);
        ASSERT_TRUE(popupGone(caption)) << narrow(what);
    }

    unsigned dpi = 96;
};

TEST_F(ScaledWindow, StartsAtItsScaledSizeWithEveryControlScaledAndCannotShrink) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    EXPECT_TRUE(waitUntil([&] {
        const SIZE now = outerSize();
        return now.cx == s(420) && now.cy == s(340);
    })) << "starts at "
        << outerSize().cx << " x " << outerSize().cy;
    EXPECT_TRUE(everyControlScaled());
    screenshot(shotName(L"main"));

    // The smallest size the frame can be dragged to (the driver plays the
    // window manager's part by sizing through the frame with the mouse).
    gestures::activate(ui.main);
    RECT r = windowRect(ui.main);
    drag({r.right - 2, r.bottom - 2}, {r.left + 60, r.top + 60});
    EXPECT_TRUE(waitUntil([&] {
        const SIZE now = outerSize();
        return now.cx == s(420) && now.cy == s(340);
    })) << "dragged to "
        << outerSize().cx << " x " << outerSize().cy;

    // Larger, and the layout follows with every constant scaled.
    SetWindowPos(ui.main, nullptr, 0, 0, s(420) + 150, s(340) + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(waitUntil([&] { return outerSize().cx == s(420) + 150; }));
    EXPECT_TRUE(everyControlScaled());
}

TEST_F(ScaledWindow, TheCompactStripIsScaledAndComesBackToItsHeight) {
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    const int normal = outerSize().cy;
    click(centreOf(ui.compactButton));
    EXPECT_TRUE(waitUntil([&] { return std::abs(outerSize().cy - s(95)) <= 1; }))
        << "compact at " << outerSize().cy << ", expected " << s(95);
    screenshot(shotName(L"compact"));
    click(centreOf(ui.compactButton));
    EXPECT_TRUE(waitUntil([&] { return outerSize().cy == normal; }))
        << "back at " << outerSize().cy << ", expected " << normal;
}

TEST_F(ScaledWindow, PicturesOfTheThreeDialogs) {
    ASSERT_NO_FATAL_FAILURE(startTerminals({L"web01.prod", L"db01.prod（主系）"}));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    ASSERT_TRUE(listShows({L"db01.prod（主系）", L"web01.prod"}));
    gestures::activate(ui.main);
    ASSERT_TRUE(gestures::selectRows(ui.windowList, {0, 1}));

    gestures::alt('O');
    ASSERT_NO_FATAL_FAILURE(dialogPicture(kSettingsCaption, L"settings"));
    tapKey(VK_OEM_2, {VK_MENU});
    ASSERT_NO_FATAL_FAILURE(dialogPicture(kAboutCaption, L"about"));

    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    const std::wstring text = L"cd /var/log\r\ntail -n 20 messages\r\n日本語の行もそのまま";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    click(centreOf(ui.commandEdit), true);
    ASSERT_NO_FATAL_FAILURE(dialogPicture(kConfirmCaption, L"paste"));
}

// Saved sessions in the registry as PuTTY keeps them (names escaped), and a
// group in twk.ini; only listed, never opened, so they need no values.
TEST_F(ScaledWindow, PictureOfTheOpenSessionsDialog) {
    const std::wstring sessions = L"Software\\SimonTatham\\PuTTY\\Sessions\\";
    const std::vector<std::wstring> keys = {L"web01.prod", L"web02.prod", L"db01.prod",
                                            L"batch01.prod%20%8C%9F%8F%D8"};
    struct Cleanup {
        const std::wstring& root;
        const std::vector<std::wstring>& keys;
        ~Cleanup() {
            for (const auto& k : keys)
                RegDeleteTreeW(HKEY_CURRENT_USER, (root + k).c_str());
        }
    } cleanup{sessions, keys};
    for (const auto& k : keys) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (sessions + k).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(h);
    }
    WritePrivateProfileStringW(L"GROUPS", L"web", L"web01.prod,web02.prod",
                               (documentsDir() + L"\\twk.ini").c_str());
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    gestures::activate(ui.main);
    gestures::alt('N');
    HWND dialog = waitForPopup(kSessionsCaption);
    ASSERT_NE(dialog, nullptr) << "Alt+N opened no dialog";
    ASSERT_TRUE(gestures::selectRows(GetDlgItem(dialog, 1202), {2, 3}));
    ASSERT_NO_FATAL_FAILURE(dialogPicture(kSessionsCaption, L"sessions"));
}

}  // namespace
