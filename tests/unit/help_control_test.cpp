#include "resources/help_control.h"

#include "tests/unit/test_support.h"

namespace {

const std::u16string kSystem = u"C:\\Windows\\system32";
const std::u16string kSystemControl = u"C:\\Windows\\system32\\hhctrl.ocx";

TEST(HelpControl, OnlyAFileDirectlyInTheSystemFolderIsTakenFromTheRegistry) {
    const struct {
        const char* name;
        std::u16string system;
        const char16_t* registered;  // null: not registered
        std::u16string path;         // empty: none
    } cases[] = {
        // Its file name, in the folder the system names.
        {"registered there, other letter case", kSystem, u"C:\\WINDOWS\\System32\\HHCtrl.ocx",
         u"C:\\Windows\\system32\\HHCtrl.ocx"},
        {"registered elsewhere (the user's own classes)", kSystem,
         u"C:\\Users\\me\\AppData\\Local\\x\\hhctrl.ocx", kSystemControl},
        {"not registered", kSystem, nullptr, kSystemControl},
        {"a bare file name", kSystem, u"hhctrl.ocx", kSystemControl},
        {"a sub-folder of the system folder", kSystem, u"C:\\Windows\\system32\\x\\hhctrl.ocx",
         kSystemControl},
        {"back up out of it", kSystem, u"C:\\Windows\\system32\\..\\..\\Users\\me\\hhctrl.ocx",
         kSystemControl},
        {"the folder's name as a prefix", kSystem, u"C:\\Windows\\system32x\\hhctrl.ocx",
         kSystemControl},
        {"a network share", kSystem, u"\\\\host\\share\\hhctrl.ocx", kSystemControl},
        {"an alternate stream", kSystem, u"C:\\Windows\\system32\\hhctrl.ocx:x", kSystemControl},
        {"the folder itself", kSystem, u"C:\\Windows\\system32\\", kSystemControl},
        {"the folder's parent", kSystem, u"C:\\Windows\\system32\\..", kSystemControl},
        {"the folder with a trailing backslash", u"C:\\Windows\\system32\\",
         u"c:\\windows\\system32\\hhctl2.ocx", u"C:\\Windows\\system32\\hhctl2.ocx"},
        {"a forward slash", kSystem, u"C:\\Windows\\system32/hhctrl.ocx", kSystemControl},
        {"no system folder", u"", u"C:\\Windows\\system32\\hhctrl.ocx", u""},
        {"no room for the file name", u"C:\\" + std::u16string(250, u'x'), nullptr, u""},
    };
    for (const auto& c : cases) {
        char16_t path[260];
        std::fill(path, path + 260, u'?');
        EXPECT_EQ(helpControlPath(c.system.c_str(), c.registered, path), !c.path.empty()) << c.name;
        EXPECT_TRUE(std::u16string(path) == c.path) << c.name << ": " << fake::narrow(path);
        EXPECT_EQ(path[259], u'\0') << c.name;
    }
}

TEST(HelpControl, TheRegistryPointingElsewhereLoadsTheSystemFoldersControl) {
    const struct {
        const char* name;
        std::u16string registered;  // empty: no value
        std::u16string path;
    } cases[] = {
        {"elsewhere", u"C:\\Users\\me\\Downloads\\hhctrl.ocx", kSystemControl},
        {"in the system folder", u"C:\\Windows\\System32\\hhctl2.ocx",
         u"C:\\Windows\\system32\\hhctl2.ocx"},
        {"not registered", u"", kSystemControl},
    };
    for (const auto& c : cases) {
        fake::reset();
        if (!c.registered.empty())
            fake::desktop().classesRoot[kHelpControlKey] = c.registered;
        char16_t path[260] = {};
        EXPECT_TRUE(locateHelpControl(path)) << c.name;
        EXPECT_TRUE(std::u16string(path) == c.path) << c.name << ": " << fake::narrow(path);
    }
    fake::reset();
    fake::desktop().systemFolder.clear();
    char16_t path[260] = {};
    EXPECT_FALSE(locateHelpControl(path)) << "no system folder, no control";
}

}  // namespace
