#include "registry/title_filter.h"

#include "registry/window_record.h"

#include <algorithm>
#include <iterator>

void lowerAscii(char16_t* text) {
    for (; *text; ++text)
        if (*text >= u'A' && *text <= u'Z')
            *text = static_cast<char16_t>(*text + 0x20);
}

bool titleMatches(const char16_t* title, const char16_t* loweredFilter) {
    char16_t lowered[kTitleUnits];
    int n = 0;
    for (; n < kTitleUnits - 1 && title[n]; ++n)
        lowered[n] = title[n];
    lowered[n] = 0;
    lowerAscii(lowered);
    const char16_t* filterEnd = loweredFilter;
    while (*filterEnd)
        ++filterEnd;
    return std::search(lowered, lowered + n, loweredFilter, filterEnd) != lowered + n ||
           loweredFilter == filterEnd;
}
