// Private-profile (INI) calls over the fake desktop's in-memory files, with
// the Windows reading rules: names match without regard to letter case, and
// blanks around names and values are ignored.
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

bool sameName(const std::u16string& a, const std::u16string& b) {
    auto fold = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

std::vector<std::u16string> lines(const std::u16string& text) {
    std::vector<std::u16string> out;
    std::u16string cur;
    for (char16_t c : text) {
        if (c == u'\n') {
            out.push_back(cur);
            cur.clear();
        } else if (c != u'\r') {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

bool isHeader(const std::u16string& line, std::u16string* name) {
    auto t = trim(line);
    if (t.size() < 2 || t.front() != u'[')
        return false;
    auto close = t.find(u']');
    if (close == std::u16string::npos)
        return false;
    if (name)
        *name = trim(t.substr(1, close - 1));
    return true;
}

std::optional<std::u16string> lookup(const char16_t* section, const char16_t* key,
                                     const char16_t* path) {
    auto file = fake::desktop().files.find(path);
    if (file == fake::desktop().files.end())
        return std::nullopt;
    bool inSection = false;
    for (const auto& line : lines(file->second)) {
        std::u16string name;
        if (isHeader(line, &name)) {
            inSection = sameName(name, section);
            continue;
        }
        auto eq = line.find(u'=');
        if (inSection && eq != std::u16string::npos && sameName(trim(line.substr(0, eq)), key))
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

bool writeProfileSection(const char16_t* section, const char16_t* body, const char16_t* path) {
    fake::desktop().calls.push_back("writeProfileSection " + fake::narrow(path));
    auto& text = fake::desktop().files[path];
    std::u16string out;
    bool replaced = false, skipping = false;
    for (const auto& line : lines(text)) {
        std::u16string name;
        if (isHeader(line, &name)) {
            skipping = false;
            if (sameName(name, section) && !replaced) {
                out += line + u"\r\n" + body + u"\r\n";
                replaced = skipping = true;
                continue;
            }
        }
        if (!skipping)
            out += line + u"\r\n";
    }
    if (!replaced)
        out += u"[" + std::u16string(section) + u"]\r\n" + body + u"\r\n";
    text = out;
    return true;
}

}  // namespace platform
