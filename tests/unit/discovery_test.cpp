#include "registry/discovery.h"
#include "registry/selection.h"

#include "tests/unit/test_support.h"

namespace {

class DiscoveryTest : public AppTest {};

TEST_F(DiscoveryTest, ListsOnlyExactClassWithCaptionInTitleOrder) {
    terminal(u"abcd");
    terminal(u"abc");
    terminal(u"");  // no caption
    desk().add(u"PuTTYx", u"decoy suffix");
    desk().add(u"putty", u"decoy case");
    desk().add(u"PUTTY", u"decoy capitals");
    desk().add(u"PuTTY ", u"decoy blank");
    desk().add(u" PuTTY", u"decoy leading blank");
    desk().add(u"Puty", u"decoy short");
    desk().add(u"PuTT", u"decoy prefix");
    terminal(u"Abc");
    discoverWindows();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Abc", "abc", "abcd"}));
    ASSERT_EQ(app().allWindows.size(), 3u);
}

TEST_F(DiscoveryTest, TitleOrderComparesCodeUnitsUnsigned) {
    struct Case {
        std::vector<std::u16string> created;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {{u"a", u"Z"}, {"Z", "a"}},                         // case-sensitive, no locale
        {{u"abcd", u"abc", u"ab"}, {"ab", "abc", "abcd"}},  // a prefix first
        {{u"b", u"B", u"a", u"A"}, {"A", "B", "a", "b"}},
        {{u"é", u"z", u"サ", u"ｗ"}, {"z", "é", "サ", "ｗ"}},  // 0xE9 < 0x30B5 < 0xFF57
        {{u"x10", u"x9", u"x1"}, {"x1", "x10", "x9"}},         // no numeric order
        {{u"a b", u"ab", u"a-b"}, {"a b", "a-b", "ab"}},       // blank 0x20 < '-' 0x2D
    };
    for (const auto& c : cases) {
        SetUp();
        discover(c.created);
        EXPECT_EQ(rows(), c.listed);
        std::vector<std::string> stored;
        for (const auto& r : app().allWindows)
            stored.push_back(fake::narrow(r.title));
        EXPECT_EQ(stored, c.listed) << "allWindows keeps the row order";
    }
}

TEST_F(DiscoveryTest, TitleLessIsStrict) {
    WindowRecord a, b;
    a.title[0] = u'x';
    b.title[0] = u'x';
    EXPECT_FALSE(titleLess(a, b));
    EXPECT_FALSE(titleLess(b, a));
    b.title[1] = u'\xFFFF';  // high units sort after, as unsigned values
    EXPECT_TRUE(titleLess(a, b));
    EXPECT_FALSE(titleLess(b, a));
}

TEST_F(DiscoveryTest, LongCaptionIsStoredAsFirst1023Units) {
    std::u16string caption;
    for (int i = 0; i < 1500; ++i)
        caption += static_cast<char16_t>(u'a' + i % 26);
    auto h = terminal(caption);
    discoverWindows();
    ASSERT_EQ(app().allWindows.size(), 1u);
    const WindowRecord& r = app().allWindows[0];
    EXPECT_EQ(r.handle, h);
    EXPECT_EQ(std::u16string(r.title), caption.substr(0, 1023));
    EXPECT_EQ(r.title[1023], u'\0');
    EXPECT_EQ(desk()[app().controls.windowList].rows.at(0), caption.substr(0, 1023));
}

TEST_F(DiscoveryTest, WindowsClosingDuringEnumerationAreNotListed) {
    auto first = terminal(u"first");
    auto later = terminal(u"later");  // closed while "first" is being read
    auto self = terminal(u"self");    // closes between its class and caption reads
    auto kept = terminal(u"kept");
    desk().afterTextRead = [&](platform::WindowHandle w) {
        if (w == first)
            desk().close(later);
    };
    desk().afterClassRead = [&](platform::WindowHandle w) {
        if (w == self)
            desk().close(self);
    };
    discoverWindows();
    desk().afterTextRead = nullptr;
    desk().afterClassRead = nullptr;
    EXPECT_EQ(rows(), (std::vector<std::string>{"first", "kept"}));
    ASSERT_EQ(app().allWindows.size(), 2u);
    EXPECT_EQ(app().allWindows[0].handle, first);
    EXPECT_EQ(app().allWindows[1].handle, kept);
}

TEST_F(DiscoveryTest, ReadsTheClassFirstAndOnlyATerminalsCaption) {
    std::vector<std::pair<char, platform::WindowHandle>> reads;
    desk().afterClassRead = [&](platform::WindowHandle w) { reads.push_back({'c', w}); };
    desk().afterTextRead = [&](platform::WindowHandle w) { reads.push_back({'t', w}); };
    auto one = terminal(u"one");
    auto other = desk().add(u"Notepad", u"notes");
    auto decoy = desk().add(u"PuTTYx", u"decoy");
    auto two = terminal(u"two");
    discoverWindows();
    desk().afterClassRead = nullptr;
    desk().afterTextRead = nullptr;
    const auto self = app().mainWindow;  // Tilewick's own window is top-level too
    EXPECT_EQ(reads, (std::vector<std::pair<char, platform::WindowHandle>>{{'c', self},
                                                                           {'c', one},
                                                                           {'t', one},
                                                                           {'c', other},
                                                                           {'c', decoy},
                                                                           {'c', two},
                                                                           {'t', two}}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(DiscoveryTest, DuplicateTitlesGiveTwoRowsAndSelectionByHandle) {
    auto handles = discover({u"host", u"host"});
    EXPECT_EQ(rows(), (std::vector<std::string>{"host", "host"}));
    clickRow(1);
    ASSERT_EQ(app().selectedWindows.size(), 1u);
    const auto chosen = app().selectedWindows[0].handle;
    EXPECT_EQ(chosen, app().allWindows[1].handle);
    EXPECT_TRUE(chosen == handles[0] || chosen == handles[1]);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true}));
}

TEST_F(DiscoveryTest, NoTerminalEmptiesTheListAndSecondRunAppends) {
    desk()[app().controls.windowList].rows = {u"stale"};
    desk()[app().controls.windowList].marks = {true};
    desk().add(u"Notepad", u"notes");
    discoverWindows();
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(app().allWindows.empty());

    terminal(u"one");
    discoverWindows();
    discoverWindows();  // without emptying allWindows first
    EXPECT_EQ(rows(), (std::vector<std::string>{"one", "one"}));
}

TEST_F(DiscoveryTest, HiddenAndMinimisedTerminalsAreListed) {
    auto hidden = terminal(u"hidden");
    auto minimised = terminal(u"minimised");
    desk()[hidden].visible = false;
    desk()[minimised].placement.showCmd = platform::kShowMinimized;
    discoverWindows();
    EXPECT_EQ(rows(), (std::vector<std::string>{"hidden", "minimised"}));
}

}  // namespace
