#include "registry/window_record.h"

bool titleLess(const WindowRecord& a, const WindowRecord& b) {
    for (int i = 0; i < kTitleUnits; ++i) {
        // char16_t is unsigned, so this compares code units as unsigned 16-bit values.
        if (a.title[i] != b.title[i])
            return a.title[i] < b.title[i];
        if (a.title[i] == 0)
            return false;
    }
    return false;
}
