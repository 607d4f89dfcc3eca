// A picture of Tilewick listing six terminals with Japanese and English titles,
// for people to look at (Japanese must render legibly, not as boxes).
#include "fixture.h"

using namespace bench;

class ScreenshotTest : public TilewickBench {};

TEST_F(ScreenshotTest, SixTerminalsWithJapaneseTitlesAreListed) {
    const wchar_t* titles[] = {
        L"web01.prod - PuTTY", L"db-主系 - PuTTY", L"バッチサーバ - PuTTY",
        L"web02.prod - PuTTY", L"db-副系 - PuTTY", L"監視 mon01 - PuTTY",
    };
    // Beside Tilewick (which opens at the top left), three by two.
    for (int i = 0; i < 6; ++i) {
        TerminalOptions o;
        o.title = titles[i];
        o.hasRect = true;
        int x = 440 + (i % 3) * 385, y = 10 + (i / 3) * 490;
        o.rect = {x, y, x + 380, y + 480};
        ASSERT_NO_FATAL_FAILURE(startTerminal(o));
    }
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    // Title order compares UTF-16 code units: ASCII first, then katakana
    // (U+30D0), then the kanji of 監 (U+76E3); 主 (U+4E3B) before 副 (U+526F).
    ASSERT_TRUE(listShows({L"db-主系 - PuTTY", L"db-副系 - PuTTY", L"web01.prod - PuTTY",
                           L"web02.prod - PuTTY", L"バッチサーバ - PuTTY", L"監視 mon01 - PuTTY"}));
    SetForegroundWindow(ui.main);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }));
    WaitForInputIdle(bench.tilewick()->handle(), 5000);
    screenshot(L"six-terminals");
}
