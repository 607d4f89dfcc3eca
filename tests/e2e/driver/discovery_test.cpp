// Which windows Tilewick lists, and in what order.
#include "fixture.h"

using namespace bench;

class DiscoveryTest : public TilewickBench {};

// Wine keeps class names as case-insensitive atoms: a class "putty" registered
// while "PuTTY" exists reads back as "PuTTY", so no letter-case decoy can be
// made here; the host tests cover that one with the fake platform.
TEST_F(DiscoveryTest, ListsOnlyCaptionedExactPuTTYClassInTitleOrderNoLetterCaseDecoyUnderWine) {
    ASSERT_NO_FATAL_FAILURE(startTerminal(L"abc"));
    ASSERT_NO_FATAL_FAILURE(startTerminal(L"abcd"));
    ASSERT_NO_FATAL_FAILURE(startTerminal(L"Abc"));
    TerminalOptions noCaption;
    noCaption.title = L"";
    ASSERT_NO_FATAL_FAILURE(startTerminal(noCaption));
    TerminalOptions suffix;
    suffix.title = L"abc decoy with class PuTTYx";
    suffix.className = L"PuTTYx";
    ASSERT_NO_FATAL_FAILURE(startTerminal(suffix));
    TerminalOptions blank;
    blank.title = L"abc decoy with class 'PuTTY '";
    blank.className = L"PuTTY ";
    ASSERT_NO_FATAL_FAILURE(startTerminal(blank));

    // The decoys really exist with their own class names.
    ASSERT_EQ(topWindowsOfClass(L"PuTTYx").size(), 1u);
    ASSERT_EQ(topWindowsOfClass(L"PuTTY ").size(), 1u);
    ASSERT_EQ(topWindowsOfClass(L"PuTTY").size(), 4u);

    ASSERT_NO_FATAL_FAILURE(startTilewick());
    EXPECT_TRUE(listShows({L"Abc", L"abc", L"abcd"}));
}

TEST_F(DiscoveryTest, MinimisedMaximisedAndHiddenTerminalsAreListedToo) {
    TerminalOptions o;
    o.title = L"minimised";
    o.show = L"min";
    ASSERT_NO_FATAL_FAILURE(startTerminal(o));
    o.title = L"maximised";
    o.show = L"max";
    ASSERT_NO_FATAL_FAILURE(startTerminal(o));
    o.title = L"hidden";
    o.show = L"hidden";
    ASSERT_NO_FATAL_FAILURE(startTerminal(o));
    ASSERT_NO_FATAL_FAILURE(startTilewick());
    EXPECT_TRUE(listShows({L"hidden", L"maximised", L"minimised"}));
}
