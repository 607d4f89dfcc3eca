#include "sessions/saved_sessions.h"

#include "platform/platform.h"

#include <algorithm>

namespace {

constexpr char16_t kSessionsKey[] = u"Software\\SimonTatham\\PuTTY\\Sessions";
constexpr char16_t kDefaultSettings[] = u"Default Settings";

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

SavedSession sessionFromKey(const char16_t* key) {
    const auto bytes = unescapeSessionKey(key);
    std::u16string name;
    if (bytes && platform::ansiToText(*bytes, name))
        return {name, true};
    return {key, false};
}

}  // namespace

std::optional<std::string> unescapeSessionKey(std::u16string_view key) {
    std::string bytes;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] >= 0x80)
            return std::nullopt;
        if (key[i] != u'%') {
            bytes += static_cast<char>(key[i]);
            continue;
        }
        const int high = i + 2 < key.size() ? hexDigit(key[i + 1]) : -1;
        const int low = high < 0 ? -1 : hexDigit(key[i + 2]);
        if (low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::vector<SavedSession> savedSessions() {
    std::vector<SavedSession> sessions;
    platform::userRegistrySubkeys(kSessionsKey, [&sessions](const char16_t* key) {
        SavedSession s = sessionFromKey(key);
        if (s.name != kDefaultSettings)
            sessions.push_back(std::move(s));
    });
    std::sort(sessions.begin(), sessions.end(),
              [](const SavedSession& a, const SavedSession& b) { return a.name < b.name; });
    return sessions;
}
