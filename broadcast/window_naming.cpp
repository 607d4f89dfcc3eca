#include "broadcast/window_naming.h"

#include "platform/bounded_text.h"

#include <algorithm>

namespace {
constexpr std::size_t kListedTitles = 10;
constexpr std::size_t kListedTitleUnits = 60;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
}  // namespace

std::u16string namingWindows(const char16_t* warning, const NamedWindows& windows) {
    BoundedText<1024> text;
    text.text(warning).text(u"\n");
    const std::size_t listed = std::min(windows.size(), kListedTitles);
    for (std::size_t i = 0; i < listed; ++i) {
        const char16_t* title = windows[i]->title;
        char16_t shown[kListedTitleUnits + 2] = {};
        std::size_t n = 0;
        for (; n < kListedTitleUnits && title[n]; ++n)
            shown[n] = title[n];
        if (title[n]) {
            if (isHighSurrogate(shown[n - 1]))
                --n;  // never half a character
            shown[n++] = u'…';
            shown[n] = 0;
        }
        text.text(u"\n・").text(shown);
    }
    if (windows.size() > listed)
        text.text(u"\nほか ").number(static_cast<long long>(windows.size() - listed)).text(u" 個");
    return text.str();
}
