#include "registry/discovery.h"

#include "tests/unit/test_support.h"

namespace {

class DiscoveryTest : public AppTest {};

TEST_F(DiscoveryTest, ListsOnlyExactClassWithCaptionInTitleOrder) {
    terminal(u"abcd");
    terminal(u"abc");
    terminal(u"");  // no caption
    desk().add(u"PuTTYx", u"decoy suffix");
    desk().add(u"putty", u"decoy case");
    desk().add(u"PuTTY ", u"decoy blank");
    desk().add(u"Puty", u"decoy short");
    terminal(u"Abc");
    discoverWindows();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Abc", "abc", "abcd"}));
    ASSERT_EQ(app().allWindows.size(), 3u);
}

}  // namespace
