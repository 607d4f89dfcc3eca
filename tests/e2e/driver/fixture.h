// Base fixtures for the end-to-end tests.
//
// TilewickBench gives each test a clean desktop: no terminal or Tilewick
// window left from an earlier test, no settings or help file in Documents, and
// every process the test starts ended when it finishes, pass or fail.
// TilewickTest additionally starts a fresh Tilewick before the test body.
#pragma once

#include "bench.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class TilewickBench : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Tilewick and finds its controls in `ui`; use with
    // ASSERT_NO_FATAL_FAILURE.
    void startTilewick();
    // Starts a fake terminal; use with ASSERT_NO_FATAL_FAILURE when the test
    // needs the result, which is stored in *out when out is given.
    void startTerminal(const bench::TerminalOptions& options,
                       std::shared_ptr<bench::FakeTerminal>* out = nullptr);
    void startTerminal(const std::wstring& title,
                       std::shared_ptr<bench::FakeTerminal>* out = nullptr);

    // Waits until the list shows exactly `rows`; on time-out the assertion
    // reports what it showed last.
    ::testing::AssertionResult listShows(const std::vector<std::wstring>& rows);
    // Waits until `hwnd`'s text is `text`.
    ::testing::AssertionResult textIs(HWND hwnd, const std::wstring& text);

    // Fake terminals with these titles, started in order; `show` maps a
    // 1-based position to a start state ("min", "max").
    void startTerminals(const std::vector<std::wstring>& titles,
                        const std::map<int, std::wstring>& show = {});
    // "t1".."tN".
    void startNumberedTerminals(int count, const std::map<int, std::wstring>& show = {});

    // A visible top-level window of Tilewick's with this caption (a dialog or
    // a message box), or null.
    HWND popup(const wchar_t* caption);
    HWND waitForPopup(const wchar_t* caption);
    bool popupGone(const wchar_t* caption);

    // The cells of a cols × rows grid over `area`, row-major, as arranging cuts them.
    static std::vector<RECT> gridCells(RECT area, int cols, int rows);
    // Waits until `window` is restored with `cell` as its normal rectangle.
    ::testing::AssertionResult restoredIn(HWND window, const RECT& cell);

    // Tilewick's band edges (class "TilewickBand") that are shown.
    static std::vector<HWND> shownBands();
    // The shown band edges lying inside `terminal`'s rectangle along its sides.
    static std::vector<HWND> bandEdgesOver(HWND terminal);
    // The top edge of the band over `terminal`, when all four are there; or null.
    static HWND bandOver(HWND terminal);
    // Waits until exactly `terminals` wear a band of four edges each and no
    // other band is shown; on time-out says which did not.
    ::testing::AssertionResult bandsExactlyOn(const std::vector<HWND>& terminals);
    // How many of the four edges of `r` show the band colour on screen, one
    // pixel inside, three quarters along; and whether the middle of `r` shows it.
    static int edgesInBandColour(const RECT& r);
    static bool middleInBandColour(const RECT& r);
    // Waits until the ring is drawn along all four edges of `r` and not inside.
    static bool ringDrawnAround(const RECT& r);

    // Saves a picture of the desktop for people to look at; fails the test
    // when the shell side of the bench does not answer.
    void screenshot(const std::wstring& name);

    bench::Bench bench;
    bench::Controls ui;
    std::vector<std::shared_ptr<bench::FakeTerminal>> terminals;  // from startTerminals
};

class TilewickTest : public TilewickBench {
protected:
    void SetUp() override;
};

// Puts `text` on the clipboard as CF_UNICODETEXT, as another program would,
// and with `alsoFormat` a few bytes in that registered format of its own.
void setClipboardText(const std::wstring& text, const wchar_t* alsoFormat = nullptr);
// The clipboard's CF_UNICODETEXT, and in *hasIt whether it holds `alsoFormat`.
std::wstring clipboardText(const wchar_t* alsoFormat = nullptr, bool* hasIt = nullptr);

// What the count label says with `selected` terminals selected.
std::wstring countText(int selected);

// Text for test messages.
std::string show(const std::wstring& text);
std::string show(const std::vector<std::wstring>& rows);
std::string show(const RECT& r);
