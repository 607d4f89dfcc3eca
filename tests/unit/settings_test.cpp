#include "settings/settings_choices.h"
#include "settings/settings_store.h"

#include "tests/unit/test_support.h"

namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

const std::u16string kIni = u"C:\\Users\\me\\Documents\\twk.ini";

class SettingsTest : public AppTest {
protected:
    void writeBase(std::vector<std::u16string> lines) {
        desk().profiles[kIni][u"BASE"] = std::move(lines);
    }
    Strings base() {
        Strings out;
        for (const auto& line : desk().profiles.at(kIni).at(u"BASE"))
            out.push_back(fake::narrow(line));
        return out;
    }
};

TEST_F(SettingsTest, LoadReadsTheThreeKeysOfBase) {
    const std::u16string longValue = u"TRUE" + std::u16string(70, u'E');
    struct Case {
        const char* name;
        std::vector<std::u16string> lines;
        int alpha;
        bool pasteConfirm, forcePaste;
    };
    const Case cases[] = {
        {"as a save writes them",
         {u"pasteConfirm = TRUE", u"forcePaste = FALSE", u"alpha = 30"},
         30,
         true,
         false},
        {"TRUE in any letter case is on",
         {u"pasteConfirm=true", u"forcePaste=True"},
         60,
         true,
         true},
        {"other values and an empty one are off",
         {u"pasteConfirm=1", u"forcePaste="},
         60,
         false,
         false},
        {"a value over 63 units is cut, so off", {u"pasteConfirm=" + longValue}, 60, false, true},
        {"missing keys: alpha 60, flags on", {u"other=1"}, 60, true, true},
        {"alpha 300 stays 300", {u"alpha=300"}, 300, true, true},
        {"alpha -5 stays -5", {u"alpha=-5"}, -5, true, true},
    };
    for (const auto& c : cases) {
        SetUp();
        writeBase(c.lines);
        SettingsStore::load();
        EXPECT_EQ(app().settings.alpha, c.alpha) << c.name;
        EXPECT_EQ(app().settings.pasteConfirm, c.pasteConfirm) << c.name;
        EXPECT_EQ(app().settings.forcePaste, c.forcePaste) << c.name;
        EXPECT_EQ(std::u16string(app().settingsPath), kIni);
    }
}

TEST_F(SettingsTest, ReadsAsTrue) {
    for (const char16_t* on : {u"TRUE", u"true", u"True", u"tRuE"})
        EXPECT_TRUE(readsAsTrue(on)) << fake::narrow(on);
    for (const char16_t* off :
         {u"", u"1", u"yes", u"FALSE", u"TRUE ", u" TRUE", u"TRU", u"TRUEE", u"ＴＲＵＥ"})
        EXPECT_FALSE(readsAsTrue(off)) << fake::narrow(off);
}

TEST_F(SettingsTest, MissingFileGivesDefaultsAndCreatesNothing) {
    app().settings = {5, false, false};
    SettingsStore::load();
    EXPECT_EQ(app().settings.alpha, 60);
    EXPECT_TRUE(app().settings.pasteConfirm);
    EXPECT_TRUE(app().settings.forcePaste);
    EXPECT_TRUE(desk().profiles.empty());
    EXPECT_TRUE(desk().callsFor("writeProfileSection").empty());
}

TEST_F(SettingsTest, SaveReplacesBaseWithTheThreeKeyLines) {
    EXPECT_EQ(settingsSectionBody({30, true, false}),
              u"pasteConfirm = TRUE\r\nforcePaste = FALSE\r\nalpha = 30\0\0"s);
    EXPECT_EQ(settingsSectionBody({-5, false, true}),
              u"pasteConfirm = FALSE\r\nforcePaste = TRUE\r\nalpha = -5\0\0"s);
    // The write reads up to the double NUL; a body ending in one NUL is refused.
    EXPECT_FALSE(platform::writeProfileSection(u"BASE", u"alpha = 1\0"s, kIni.c_str()));
    EXPECT_TRUE(desk().profiles.empty());

    writeBase({u"alpha=99", u"userKey=42"});
    SettingsStore::load();
    SettingsStore::save(true, false, 30);
    EXPECT_EQ(base(), (Strings{"pasteConfirm = TRUE", "forcePaste = FALSE", "alpha = 30"}));
    SettingsStore::load();
    EXPECT_EQ(app().settings.alpha, 30);
    EXPECT_TRUE(app().settings.pasteConfirm);
    EXPECT_FALSE(app().settings.forcePaste);
}

TEST_F(SettingsTest, FirstSaveCreatesTheFile) {
    SettingsStore::load();
    SettingsStore::save(false, false, 0);
    EXPECT_EQ(base(), (Strings{"pasteConfirm = FALSE", "forcePaste = FALSE", "alpha = 0"}));
}

TEST_F(SettingsTest, DocumentsPathThatLeavesNoRoomForTheFileName) {
    // "\twk.ini" is 8 units: a folder of 251 units gives 259 units plus the terminator.
    char16_t path[260];
    desk().documents = std::u16string(251, u'd');
    EXPECT_TRUE(buildDocumentsPath(u"twk.ini", path));
    EXPECT_EQ(std::u16string(path), std::u16string(251, u'd') + u"\\twk.ini");

    desk().documents = std::u16string(252, u'd');
    std::fill(path, path + 260, u'?');
    EXPECT_FALSE(buildDocumentsPath(u"twk.ini", path));
    EXPECT_EQ(path[0], u'\0');

    // Load applies the defaults without reading a cut path; save writes nothing.
    desk().profiles[std::u16string(252, u'd') + u"\\twk.in"][u"BASE"] = {u"alpha=1"};
    desk().profiles[std::u16string(252, u'd') + u"\\twk.ini"][u"BASE"] = {u"alpha=2"};
    app().settings.alpha = 9;
    SettingsStore::load();
    EXPECT_EQ(app().settings.alpha, 60);
    EXPECT_EQ(app().settingsPath[0], u'\0');
    SettingsStore::save(true, true, 10);
    EXPECT_TRUE(desk().callsFor("writeProfileSection").empty());
}

TEST_F(SettingsTest, DocumentsFolderUnavailableGivesBackslashFileName) {
    desk().documentsAvailable = false;
    char16_t path[260];
    EXPECT_TRUE(buildDocumentsPath(u"twk.ini", path));
    EXPECT_EQ(std::u16string(path), u"\\twk.ini");
}

// --- The settings dialog's choices ------------------------------------------------------

TEST_F(SettingsTest, SliderShowsStoredAlphaAtTheNearerEnd) {
    const std::pair<int, int> cases[] = {{60, 60}, {0, 0}, {255, 255}, {300, 255}, {-5, 0}};
    for (auto [stored, shown] : cases)
        EXPECT_EQ(sliderPosition(stored), shown) << stored;
}

TEST_F(SettingsTest, OkStoresForcePasteOffSavesAndMakesOpaque) {
    writeBase({u"alpha=300", u"forcePaste=TRUE"});
    SettingsStore::load();
    previewAlpha(sliderPosition(app().settings.alpha));
    previewAlpha(40);
    EXPECT_EQ(desk()[app().mainWindow].alpha, 40);
    EXPECT_EQ(app().settings.alpha, 300) << "the preview stores nothing";

    acceptSettings(false, sliderPosition(app().settings.alpha));
    EXPECT_EQ(app().settings.alpha, 255);
    EXPECT_FALSE(app().settings.pasteConfirm);
    EXPECT_FALSE(app().settings.forcePaste);
    EXPECT_EQ(desk()[app().mainWindow].alpha, 255);
    EXPECT_EQ(base(), (Strings{"pasteConfirm = FALSE", "forcePaste = FALSE", "alpha = 255"}));
    EXPECT_FALSE(app().translucent);  // the dialog never touches the state flag

    // OK writes the file even when nothing changed.
    desk().profiles.clear();
    acceptSettings(false, 255);
    EXPECT_EQ(desk().profiles.count(kIni), 1u);
}

TEST_F(SettingsTest, CancelChangesNothingButMakesOpaque) {
    writeBase({u"alpha=80", u"pasteConfirm=TRUE"});
    SettingsStore::load();
    app().translucent = true;
    previewAlpha(0);
    EXPECT_EQ(desk()[app().mainWindow].alpha, 0);
    const auto before = desk().profiles;
    cancelSettings();
    EXPECT_EQ(desk()[app().mainWindow].alpha, 255);
    EXPECT_EQ(app().settings.alpha, 80);
    EXPECT_TRUE(app().settings.pasteConfirm);
    EXPECT_EQ(desk().profiles, before);
    EXPECT_TRUE(app().translucent);
}

}  // namespace
