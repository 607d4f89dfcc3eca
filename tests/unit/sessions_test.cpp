#include "arrange/displays.h"
#include "sessions/command_line.h"
#include "sessions/putty_location.h"
#include "sessions/saved_sessions.h"
#include "sessions/session_groups.h"
#include "sessions/session_opening.h"
#include "settings/settings_store.h"

#include "tests/unit/test_support.h"

namespace {

using Names = std::vector<std::u16string>;
constexpr char16_t kSessionsKey[] = u"Software\\SimonTatham\\PuTTY\\Sessions";
constexpr char16_t kPutty[] = u"C:\\Tools\\putty.exe";

// An argument list back from a command line by CommandLineToArgvW's rules:
// the program name runs to its closing quote; after it, 2n backslashes and a
// quote give n and toggle quoting, 2n+1 and a quote give n and a quote, and
// other backslashes stand as they are.
Names splitCommandLine(const std::u16string& line) {
    Names args(1);
    std::size_t i = line[0] == u'"' ? line.find(u'"', 1) + 1 : line.find(u' ');
    args[0] = line.substr(line[0] == u'"' ? 1 : 0, i - (line[0] == u'"' ? 2 : 0));
    bool quoted = false, inArg = false;
    for (; i < line.size(); ++i) {
        std::size_t slashes = 0;
        while (i < line.size() && line[i] == u'\\')
            ++slashes, ++i;
        if (i < line.size() && line[i] == u'"') {
            if (!inArg)
                args.emplace_back(), inArg = true;
            args.back().append(slashes / 2, u'\\');
            if (slashes % 2)
                args.back() += u'"';
            else
                quoted = !quoted;
            continue;
        }
        if (slashes && !inArg)
            args.emplace_back(), inArg = true;
        if (slashes)
            args.back().append(slashes, u'\\');
        if (i >= line.size())
            break;
        if (line[i] == u' ' && !quoted) {
            inArg = false;
        } else {
            if (!inArg)
                args.emplace_back(), inArg = true;
            args.back() += line[i];
        }
    }
    return args;
}

class SessionsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        desk().ansiCodePage = "CP932";
        desk().files = {kPutty};
        desk().programs = {kPutty};
        desk().monitors.push_back({u"\\\\.\\DISPLAY1", {0, 0, 1600, 1000}});
        refreshDisplays();
        SettingsStore::load();
    }
    void saveSessions(const Names& keys) { desk().userRegistry[kSessionsKey] = keys; }
    std::vector<SavedSession> sessionsNamed(const Names& names) {
        std::vector<SavedSession> out;
        for (const auto& n : names)
            out.push_back({n, true});
        return out;
    }
    std::vector<std::u16string> warnings() {
        std::vector<std::u16string> out;
        for (const auto& w : desk().warnings)
            out.push_back(w.first);
        return out;
    }
};

TEST_F(SessionsTest, NamesFromTheRegistry) {
    struct Case {
        std::u16string key;
        std::u16string name;  // as listed
        bool openable;
    };
    const Case cases[] = {
        {u"web01", u"web01", true},
        {u"my%20host", u"my host", true},
        {u"100%25", u"100%", true},
        {u"%8C%9F%8F%D8-e", u"検証-e", true},
        {u"%8c%9f", u"検", true},
        {u"bad%Z1", u"bad%Z1", false},
        {u"cut%8", u"cut%8", false},
        {u"%82", u"%82", false},  // a lead byte without its trail: no text in CP932
    };
    for (const Case& c : cases) {
        saveSessions({c.key, u"Default%20Settings"});
        const auto sessions = savedSessions();
        ASSERT_EQ(sessions.size(), 1u) << fake::narrow(c.key);
        EXPECT_EQ(fake::narrow(sessions[0].name), fake::narrow(c.name));
        EXPECT_EQ(sessions[0].openable, c.openable) << fake::narrow(c.key);
    }
    saveSessions({u"b", u"B", u"%88%9F", u"a"});  // title order by code unit
    Names order;
    for (const auto& s : savedSessions())
        order.push_back(s.name);
    EXPECT_EQ(order, (Names{u"B", u"a", u"b", u"亜"}));
    desk().userRegistry.clear();
    EXPECT_TRUE(savedSessions().empty());
}

TEST_F(SessionsTest, CommandLineGivesEveryNameBack) {
    for (const std::u16string name : {u"plain", u"a blank", u"say \"hi\"", u"it's", u"C:\\dir\\",
                                      u"x\\\"y", u"\\\\", u"検証-e", u"", u"\"", u"a\\\\b c"}) {
        const Names args =
            splitCommandLine(puttyCommandLine(u"C:\\Program Files\\putty.exe", name));
        EXPECT_EQ(args, (Names{u"C:\\Program Files\\putty.exe", u"-load", name}))
            << fake::narrow(puttyCommandLine(u"p", name));
    }
}

TEST_F(SessionsTest, GroupValueRoundTrip) {
    const Names lists[] = {
        {u"web01", u"web02"},
        {u"a,b", u"x=y", u"100%", u" lead", u"trail ", u"\"q\"", u"it's", u"[s]", u"c;d"},
        {u"検証-e", u"%u1234", u"%41", u"tab\there"},
        {},
    };
    for (const Names& names : lists) {
        const std::u16string value = groupValue(names);
        EXPECT_TRUE(std::all_of(value.begin(), value.end(), [](char16_t c) {
            return c > u' ' && c < 0x7F;
        })) << fake::narrow(value);
        EXPECT_EQ(groupSessions(value), names) << fake::narrow(value);
    }
    EXPECT_EQ(groupSessions(u" web01 , web02,,%zz%u12"), (Names{u"web01", u"web02", u"%zz%u12"}));
}

TEST_F(SessionsTest, GroupsFromAHandEditedSection) {
    desk().profiles[app().settingsPath][u"GROUPS"] = {
        u"web=web01,web02", u"garbage line", u"; web=comment", u"WEB=duplicate",
        u"=no name",        u"db = db01 ",   u"[odd=x",
    };
    const auto groups = loadGroups(app().settingsPath);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].name, u"web");
    EXPECT_EQ(groups[0].sessions, (Names{u"web01", u"web02"}));
    EXPECT_EQ(groups[1].name, u"db");
    EXPECT_EQ(groups[1].sessions, (Names{u"db01"}));

    for (const std::u16string bad : {u"", u"  ", u"a=b", u"[x", u";x"}) {
        EXPECT_NE(groupNameProblem(bad), nullptr) << fake::narrow(bad);
        EXPECT_FALSE(saveGroup(app().settingsPath, bad, {u"web01"}));
    }
    EXPECT_EQ(desk().callsFor("writeProfileString").size(), 0u) << "a refused name writes nothing";
    EXPECT_TRUE(saveGroup(app().settingsPath, u" Web ", {u"x"}));  // replaces "web", keeps the rest
    EXPECT_TRUE(deleteGroup(app().settingsPath, u"db"));
    EXPECT_EQ(desk().profiles[app().settingsPath][u"GROUPS"],
              (Names{u"Web=x", u"garbage line", u"; web=comment", u"WEB=duplicate", u"=no name",
                     u"[odd=x"}));
}

TEST_F(SessionsTest, PuttySearchOrder) {
    struct Case {
        const char* name;
        Names files;
        std::u16string configured;  // [PUTTY] path
        std::u16string path;        // %PATH%
        std::u16string found;
    };
    const Case cases[] = {
        {"twk.ini first", {u"D:\\p.exe", kPutty}, u"\"D:\\p.exe\"", u"", u"D:\\p.exe"},
        {"beside Tilewick", {kPutty, u"C:\\bin\\putty.exe"}, u"D:\\gone.exe", u"C:\\bin", kPutty},
        {"on PATH, quoted",
         {u"C:\\a;b\\putty.exe"},
         u"",
         u"C:\\x;;\"C:\\a;b\"",
         u"C:\\a;b\\putty.exe"},
        {"PATH before Program Files",
         {u"C:\\bin\\putty.exe", u"C:\\PF\\PuTTY\\putty.exe"},
         u"",
         u"C:\\bin\\",
         u"C:\\bin\\putty.exe"},
        {"Program Files (x86)",
         {u"C:\\PF86\\PuTTY\\putty.exe"},
         u"",
         u"",
         u"C:\\PF86\\PuTTY\\putty.exe"},
        {"none", {}, u"", u"C:\\bin", u""},
    };
    for (const Case& c : cases) {
        SetUp();
        desk().files = {c.files.begin(), c.files.end()};
        desk().environment = {{u"PATH", c.path},
                              {u"ProgramW6432", u"C:\\PF"},
                              {u"ProgramFiles", u"C:\\PF"},
                              {u"ProgramFiles(x86)", u"C:\\PF86"}};
        if (!c.configured.empty())
            desk().profiles[app().settingsPath][u"PUTTY"] = {u"path=" + c.configured};
        const PuttySearch search = findPutty(app().settingsPath);
        EXPECT_EQ(fake::narrow(search.found), fake::narrow(c.found)) << c.name;
        if (c.found.empty()) {
            EXPECT_EQ(search.looked,
                      (Names{kPutty, u"C:\\bin\\putty.exe", u"C:\\PF\\PuTTY\\putty.exe",
                             u"C:\\PF86\\PuTTY\\putty.exe"}));
        }
    }
}

TEST_F(SessionsTest, SelectsAndArrangesWhatOpenedAndNamesWhatDidNot) {
    saveSessions({u"a", u"b", u"c", u"d", u"e"});
    desk().profiles[app().settingsPath][u"GROUPS"] = {u"g=e,d,c,b,a,gone"};
    openGroup(1);  // Alt+2 with one group: said, nothing started
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_NE(warnings()[0].find(u"グループ 2 がない"), std::u16string::npos);
    desk().warnings.clear();
    openGroup(0);
    ASSERT_EQ(desk().processes.size(), 5u);
    EXPECT_EQ(fake::narrow(desk().processes[1].commandLine),
              "\"C:\\Tools\\putty.exe\" -load \"b\"");
    EXPECT_TRUE(openingUnderWay());
    EXPECT_EQ(desk().timers.count({app().mainWindow, kOpeningTimerId}), 1u);

    openGroup(0);  // Alt+1 again while waiting
    EXPECT_EQ(desk().processes.size(), 5u) << "nothing is started twice";

    const auto windowD = desk().showProcessWindow(3, u"d - PuTTY");
    const auto windowA = desk().showProcessWindow(0, u"PuTTY");  // not yet named after its host
    desk().showProcessWindow(4, u"PuTTY");                       // e never gets further
    desk().processes[1].running = false;                         // b exits at once
    followOpening();
    EXPECT_TRUE(openingUnderWay()) << "a, c and e still come";
    desk().now += 5000;
    desk()[windowA].text = u"a - PuTTY";
    followOpening();
    EXPECT_TRUE(openingUnderWay());
    desk().now += kOpeningLimitMs;  // c never shows a window
    followOpening();
    EXPECT_FALSE(openingUnderWay());
    EXPECT_EQ(desk().timers.count({app().mainWindow, kOpeningTimerId}), 0u);  // the wait is over
    EXPECT_EQ(selectedTitles(), (std::vector<std::string>{"a - PuTTY", "d - PuTTY", "PuTTY"}));
    EXPECT_EQ(desk()[windowA].placement.normalPosition, (platform::Rect{0, 0, 800, 500}));
    EXPECT_EQ(desk()[windowD].placement.normalPosition, (platform::Rect{800, 0, 1600, 500}));
    EXPECT_EQ(desk().focus, app().controls.commandEdit);
    ASSERT_EQ(desk().warnings.size(), 1u);
    const std::string warning = fake::narrow(desk().warnings[0].first);
    for (const char* line : {"[終了] b", "[時間切れ] c", "[セッションなし] gone"})
        EXPECT_NE(warning.find(line), std::string::npos) << line << " in " << warning;
    for (const auto& p : desk().processes)
        EXPECT_TRUE(p.released);

    // Open again: a and d are still up and join the selection; b and c start anew.
    desk().warnings.clear();
    openSessions(sessionsNamed({u"a", u"b", u"d"}), {}, false);
    ASSERT_EQ(desk().processes.size(), 6u);
    const auto windowB = desk().showProcessWindow(5, u"b - PuTTY");
    const platform::Rect before = desk()[windowB].placement.normalPosition;
    followOpening();
    EXPECT_EQ(selectedTitles(), (std::vector<std::string>{"a - PuTTY", "b - PuTTY", "d - PuTTY"}));
    EXPECT_EQ(desk()[windowB].placement.normalPosition, before) << "not arranged when off";
    EXPECT_TRUE(desk().warnings.empty());
}

TEST_F(SessionsTest, AProgramThatIsNoProgramIsNamed) {
    desk().programs.clear();
    openSessions(sessionsNamed({u"web01"}), {}, true);
    EXPECT_FALSE(openingUnderWay());
    ASSERT_EQ(desk().warnings.size(), 1u);
    EXPECT_NE(desk().warnings[0].first.find(u"[起動失敗] web01"), std::u16string::npos);
}

}  // namespace
