#include "settings/settings_choices.h"
#include "settings/settings_store.h"

#include "tests/unit/test_support.h"

namespace {

const std::u16string kIni = u"C:\\Users\\me\\Documents\\twk.ini";

class SettingsTest : public AppTest {
protected:
    void writeFile(const std::u16string& text) { desk().files[kIni] = text; }
    std::string file() { return fake::narrow(desk().files.at(kIni)); }
};

TEST_F(SettingsTest, ReadingRules) {
    const std::u16string longValue = u"TRUE" + std::u16string(70, u'E');
    struct Case {
        const char* name;
        std::u16string file;
        int alpha;
        bool pasteConfirm, forcePaste;
    };
    const Case cases[] = {
        {"lower-case true", u"[BASE]\r\npasteConfirm=true\r\nforcePaste=True\r\n", 60, true, true},
        {"upper-case TRUE, blanks around", u"[BASE]\r\n  pasteConfirm  =  TRUE  \r\nalpha = 30\r\n",
         30, true, true},
        {"1 is off", u"[BASE]\r\npasteConfirm=1\r\nforcePaste=yes\r\n", 60, false, false},
        {"FALSE and empty are off", u"[BASE]\r\npasteConfirm=FALSE\r\nforcePaste=\r\n", 60, false,
         false},
        {"TRUEX is off", u"[BASE]\r\npasteConfirm=TRUEX\r\nforcePaste=TRU\r\n", 60, false, false},
        {"a value over 63 units is off", u"[BASE]\r\npasteConfirm=" + longValue + u"\r\n", 60,
         false, true},
        {"key and section names in capitals", u"[base]\r\nPASTECONFIRM=false\r\nALPHA=7\r\n", 7,
         false, true},
        {"keys in any order", u"[BASE]\r\nalpha=200\r\nforcePaste=FALSE\r\npasteConfirm=TRUE\r\n",
         200, true, false},
        {"alpha 300 stays 300", u"[BASE]\r\nalpha=300\r\n", 300, true, true},
        {"alpha -5 stays -5", u"[BASE]\r\nalpha=-5\r\n", -5, true, true},
        {"alpha starting with a number", u"[BASE]\r\nalpha=45abc\r\n", 45, true, true},
        {"alpha without a number is 0", u"[BASE]\r\nalpha=abc\r\n", 0, true, true},
        {"keys in another section do not count",
         u"[OTHER]\r\nalpha=10\r\npasteConfirm=FALSE\r\n[BASE]\r\nforcePaste=false\r\n", 60, true,
         false},
        {"missing section", u"[OTHER]\r\nalpha=10\r\n", 60, true, true},
    };
    for (const auto& c : cases) {
        SetUp();
        writeFile(c.file);
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
    EXPECT_TRUE(desk().files.empty());
    EXPECT_TRUE(desk().callsFor("writeProfileSection").empty());
}

TEST_F(SettingsTest, SaveWritesExactlyTheThreeKeysAndKeepsOtherSections) {
    EXPECT_EQ(settingsSectionBody({30, true, false}),
              u"pasteConfirm = TRUE\r\nforcePaste = FALSE\r\nalpha = 30");
    EXPECT_EQ(settingsSectionBody({-5, false, true}),
              u"pasteConfirm = FALSE\r\nforcePaste = TRUE\r\nalpha = -5");

    writeFile(u"[Mine]\r\nkeep=1\r\n[BASE]\r\nalpha=99\r\nuserKey=42\r\n[Tail]\r\nx=y\r\n");
    SettingsStore::load();
    SettingsStore::save(true, false, 30);
    EXPECT_EQ(file(), "[Mine]\r\nkeep=1\r\n[BASE]\r\npasteConfirm = TRUE\r\nforcePaste = "
                      "FALSE\r\nalpha = 30\r\n[Tail]\r\nx=y\r\n");
    SettingsStore::load();
    EXPECT_EQ(app().settings.alpha, 30);
    EXPECT_FALSE(app().settings.forcePaste);
}

TEST_F(SettingsTest, FirstSaveCreatesTheFile) {
    SettingsStore::load();
    SettingsStore::save(false, false, 0);
    EXPECT_EQ(file(), "[BASE]\r\npasteConfirm = FALSE\r\nforcePaste = FALSE\r\nalpha = 0\r\n");
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
    desk().files[std::u16string(252, u'd') + u"\\twk.in"] = u"[BASE]\r\nalpha=1\r\n";
    desk().files[std::u16string(252, u'd') + u"\\twk.ini"] = u"[BASE]\r\nalpha=2\r\n";
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
    writeFile(u"[BASE]\r\nalpha=300\r\nforcePaste=TRUE\r\n");
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
    EXPECT_EQ(file(), "[BASE]\r\npasteConfirm = FALSE\r\nforcePaste = FALSE\r\nalpha = 255\r\n");
    EXPECT_FALSE(app().translucent);  // the dialog never touches the state flag

    // OK writes the file even when nothing changed.
    desk().files.clear();
    acceptSettings(false, 255);
    EXPECT_EQ(desk().files.count(kIni), 1u);
}

TEST_F(SettingsTest, CancelChangesNothingButMakesOpaque) {
    writeFile(u"[BASE]\r\nalpha=80\r\npasteConfirm=TRUE\r\n");
    SettingsStore::load();
    app().translucent = true;
    previewAlpha(0);
    EXPECT_EQ(desk()[app().mainWindow].alpha, 0);
    const auto before = desk().files;
    cancelSettings();
    EXPECT_EQ(desk()[app().mainWindow].alpha, 255);
    EXPECT_EQ(app().settings.alpha, 80);
    EXPECT_TRUE(app().settings.pasteConfirm);
    EXPECT_EQ(desk().files, before);
    EXPECT_TRUE(app().translucent);
}

}  // namespace
