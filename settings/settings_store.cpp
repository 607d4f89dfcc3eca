#include "settings/settings_store.h"

#include "app/app_state.h"
#include "platform/bounded_text.h"

namespace {
constexpr char16_t kFileName[] = u"twk.ini";
constexpr char16_t kSection[] = u"BASE";
constexpr int kValueUnits = 64;

bool readFlag(const char16_t* key, const char16_t* path) {
    char16_t value[kValueUnits] = {};
    platform::profileString(kSection, key, u"TRUE", value, kValueUnits, path);
    return readsAsTrue(value);
}
}  // namespace

bool buildDocumentsPath(const char16_t* fileName, char16_t* path) {
    char16_t folder[kPathUnits] = {};
    platform::documentsFolder(folder);  // on failure the folder part stays empty
    return joinPath(folder, fileName, path);
}

bool joinPath(const char16_t* folder, const char16_t* fileName, char16_t* path) {
    BoundedText<kPathUnits> joined;
    joined.text(folder).text(u"\\").text(fileName);
    for (int i = 0; i < kPathUnits; ++i)
        path[i] = joined.overflowed() ? u'\0' : joined.c_str()[i];
    return !joined.overflowed();
}

bool readsAsTrue(const char16_t* value) {
    const char16_t* expected = u"TRUE";
    for (; *expected; ++expected, ++value) {
        char16_t c = *value;
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 0x20);
        if (c != *expected)
            return false;
    }
    return *value == 0;
}

std::u16string settingsSectionBody(const Settings& s) {
    BoundedText<512> body;
    body.text(u"pasteConfirm = ").text(s.pasteConfirm ? u"TRUE" : u"FALSE");
    body.text(u"\r\nforcePaste = ").text(s.forcePaste ? u"TRUE" : u"FALSE");
    body.text(u"\r\nalpha = ").number(s.alpha);
    return body.str() + std::u16string(2, u'\0');
}

void SettingsStore::load() {
    AppState& a = app();
    a.settings = Settings{};
    if (!buildDocumentsPath(kFileName, a.settingsPath))
        return;  // no usable path: the defaults apply
    a.settings.alpha = platform::profileInt(kSection, u"alpha", 60, a.settingsPath);
    a.settings.pasteConfirm = readFlag(u"pasteConfirm", a.settingsPath);
    a.settings.forcePaste = readFlag(u"forcePaste", a.settingsPath);
}

void SettingsStore::save(bool pasteConfirm, bool forcePaste, int alpha) {
    const AppState& a = app();
    if (a.settingsPath[0] == 0)
        return;
    const std::u16string body = settingsSectionBody({alpha, pasteConfirm, forcePaste});
    platform::writeProfileSection(kSection, body, a.settingsPath);
}
