#include "sessions/session_groups.h"

#include "platform/platform.h"

#include <algorithm>

namespace {

constexpr char16_t kSection[] = u"GROUPS";
constexpr char16_t kHex[] = u"0123456789ABCDEF";

bool needsEscape(char16_t c) {
    return c <= u' ' || c == 0x7F ||
           std::u16string_view(u"%,\"';=[]").find(c) != std::u16string_view::npos;
}

int hexValue(std::u16string_view digits) {
    int value = 0;
    for (const char16_t c : digits) {
        const char16_t upper = c >= u'a' && c <= u'f' ? static_cast<char16_t>(c - 0x20) : c;
        const auto d = std::u16string_view(kHex).find(upper);
        if (d == std::u16string_view::npos)
            return -1;
        value = value * 16 + static_cast<int>(d);
    }
    return value;
}

bool sameKey(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 0x20 : c + 0; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

bool usablePath(const char16_t* settingsPath) {
    return settingsPath && settingsPath[0];
}

}  // namespace

std::u16string groupValue(const std::vector<std::u16string>& sessions) {
    std::u16string value;
    for (const auto& name : sessions) {
        if (!value.empty())
            value += u',';
        for (const char16_t c : name) {
            if (c >= 0x80) {
                value += u"%u";
                for (int shift = 12; shift >= 0; shift -= 4)
                    value += kHex[(c >> shift) & 0xF];
            } else if (needsEscape(c)) {
                value += u'%';
                value += kHex[c >> 4];
                value += kHex[c & 0xF];
            } else {
                value += c;
            }
        }
    }
    return value;
}

std::vector<std::u16string> groupSessions(std::u16string_view value) {
    std::vector<std::u16string> sessions;
    for (std::size_t from = 0; from <= value.size();) {
        const std::size_t comma = std::min(value.find(u',', from), value.size());
        // Blanks typed around a name by hand go; a name's own are escaped.
        const std::u16string piece = trimmedGroupName(value.substr(from, comma - from));
        std::u16string name;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const bool wide = piece[i] == u'%' && i + 1 < piece.size() && piece[i + 1] == u'u';
            const std::size_t start = i + (wide ? 2 : 1), digits = wide ? 4 : 2;
            const int unit = piece[i] == u'%' && start + digits <= piece.size()
                                 ? hexValue(std::u16string_view(piece).substr(start, digits))
                                 : -1;
            name += unit >= 0 ? static_cast<char16_t>(unit) : piece[i];
            if (unit >= 0)
                i = start + digits - 1;
        }
        if (!name.empty())
            sessions.push_back(name);
        from = comma + 1;
    }
    return sessions;
}

std::u16string trimmedGroupName(std::u16string_view name) {
    const auto first = name.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos)
        return {};
    return std::u16string(name.substr(first, name.find_last_not_of(u" \t") - first + 1));
}

std::vector<SessionGroup> loadGroups(const char16_t* settingsPath) {
    std::vector<SessionGroup> groups;
    if (!usablePath(settingsPath))
        return groups;
    for (const auto& line : platform::profileSectionLines(kSection, settingsPath)) {
        const auto eq = line.find(u'=');
        const std::u16string name = trimmedGroupName(std::u16string_view(line).substr(0, eq));
        if (eq == std::u16string::npos || groupNameProblem(name))
            continue;
        const bool repeated = std::any_of(groups.begin(), groups.end(), [&](const SessionGroup& g) {
            return sameKey(g.name, name);
        });
        if (!repeated)
            groups.push_back(
                {name, groupSessions(trimmedGroupName(std::u16string_view(line).substr(eq + 1)))});
    }
    return groups;
}

const char16_t* groupNameProblem(std::u16string_view name) {
    const std::u16string trimmed = trimmedGroupName(name);
    if (trimmed.empty())
        return u"グループ名が空です。";
    if (trimmed.find(u'=') != std::u16string::npos)
        return u"グループ名に「=」は使えません。";
    if (trimmed[0] == u'[' || trimmed[0] == u';')
        return u"グループ名を「[」や「;」で始めることはできません。";
    return nullptr;
}

bool saveGroup(const char16_t* settingsPath, const std::u16string& name,
               const std::vector<std::u16string>& sessions) {
    if (!usablePath(settingsPath) || groupNameProblem(name))
        return false;
    const std::u16string value = groupValue(sessions);
    return platform::writeProfileString(kSection, trimmedGroupName(name).c_str(), value.c_str(),
                                        settingsPath);
}

bool deleteGroup(const char16_t* settingsPath, const std::u16string& name) {
    if (!usablePath(settingsPath) || groupNameProblem(name))
        return false;
    return platform::writeProfileString(kSection, trimmedGroupName(name).c_str(), nullptr,
                                        settingsPath);
}
