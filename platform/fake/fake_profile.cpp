// Private-profile (INI) calls over the fake desktop's profile files. They do
// only what Tilewick relies on from the real calls: a key is found in its
// section with the blanks around the key and its value dropped; a missing key
// gives the default; an integer is the number at the start of the value; a
// copied value is cut to the buffer; a section write reads its body up to the
// double NUL and replaces the section's lines with it, a CR LF inside a line
// starting a new line as it does in the file.
#include "platform/fake/fake_desktop.h"

#include <algorithm>
#include <optional>

namespace platform {

namespace {

std::u16string trim(const std::u16string& s) {
    auto b = s.find_first_not_of(u" \t");
    if (b == std::u16string::npos)
        return u"";
    auto e = s.find_last_not_of(u" \t");
    return s.substr(b, e - b + 1);
}

std::optional<std::u16string> lookup(const char16_t* section, const char16_t* key,
                                     const char16_t* path) {
    const auto& profiles = fake::desktop().profiles;
    auto file = profiles.find(path);
    if (file == profiles.end())
        return std::nullopt;
    auto lines = file->second.find(section);
    if (lines == file->second.end())
        return std::nullopt;
    for (const auto& line : lines->second) {
        auto eq = line.find(u'=');
        if (eq != std::u16string::npos && trim(line.substr(0, eq)) == key)
            return trim(line.substr(eq + 1));
    }
    return std::nullopt;
}

}  // namespace

int profileInt(const char16_t* section, const char16_t* key, int fallback, const char16_t* path) {
    auto value = lookup(section, key, path);
    if (!value)
        return fallback;
    const auto& v = *value;
    std::size_t i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+'))
        negative = v[i++] == u'-';
    long long n = 0;
    for (; i < v.size() && v[i] >= u'0' && v[i] <= u'9'; ++i)
        n = std::min(n * 10 + (v[i] - u'0'), 0xFFFFFFFFLL);
    return static_cast<int>(negative ? -n : n);
}

int profileString(const char16_t* section, const char16_t* key, const char16_t* fallback,
                  char16_t* buffer, int capacity, const char16_t* path) {
    auto value = lookup(section, key, path);
    std::u16string v = value ? *value : std::u16string(fallback);
    if (capacity <= 0)
        return 0;
    int n = std::min<int>(static_cast<int>(v.size()), capacity - 1);
    std::copy(v.begin(), v.begin() + n, buffer);
    buffer[n] = 0;
    return n;
}

bool writeProfileSection(const char16_t* section, std::u16string_view body, const char16_t* path) {
    fake::desktop().calls.push_back("writeProfileSection " + fake::narrow(path));
    const auto end = body.find(std::u16string_view(u"\0\0", 2));
    if (end == std::u16string_view::npos)
        return false;  // the real call would read on past the body
    std::vector<std::u16string> lines(1);
    for (char16_t c : body.substr(0, end)) {
        if (c == u'\0' || c == u'\n')
            lines.emplace_back();
        else if (c != u'\r')
            lines.back() += c;
    }
    if (lines.size() == 1 && lines[0].empty())
        lines.clear();
    fake::desktop().profiles[path][section] = lines;
    return true;
}

}  // namespace platform
