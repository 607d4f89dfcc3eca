#include "sessions/putty_settings.h"

#include "platform/platform.h"
#include "settings/settings_store.h"

namespace {
constexpr char16_t kSection[] = u"PUTTY";
constexpr int kPathValueUnits = 1024;

std::u16string value(const char16_t* settingsPath, const char16_t* key) {
    if (!settingsPath || !settingsPath[0])
        return {};
    std::u16string buffer(kPathValueUnits, u'\0');
    const int units =
        platform::profileString(kSection, key, u"", buffer.data(), kPathValueUnits, settingsPath);
    buffer.resize(static_cast<std::size_t>(units > 0 ? units : 0));
    return buffer;
}
}  // namespace

std::u16string configuredPuttyPath(const char16_t* settingsPath) {
    std::u16string path = value(settingsPath, u"path");
    const auto first = path.find_first_not_of(u" \t\"");
    if (first == std::u16string::npos)
        return {};
    return path.substr(first, path.find_last_not_of(u" \t\"") - first + 1);
}

bool arrangeAfterOpening(const char16_t* settingsPath) {
    const std::u16string v = value(settingsPath, u"arrange");
    return v.empty() || readsAsTrue(v.c_str());
}

void rememberArrangeAfterOpening(const char16_t* settingsPath, bool arrange) {
    if (settingsPath && settingsPath[0])
        platform::writeProfileString(kSection, u"arrange", arrange ? u"TRUE" : u"FALSE",
                                     settingsPath);
}
