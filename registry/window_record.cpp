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

void assignAt(WindowList& list, std::size_t k, const WindowRecord& record) {
    if (k == list.size()) {
        list.push_back(record);
        return;
    }
    WindowRecord& to = list[k];
    int n = 0;
    for (; n < kTitleUnits && record.title[n]; ++n)
        to.title[n] = record.title[n];
    for (int rest = n; rest < kTitleUnits && to.title[rest]; ++rest)
        to.title[rest] = 0;
    to.handle = record.handle;
}

std::vector<platform::WindowHandle> handlesOf(const WindowList& list) {
    std::vector<platform::WindowHandle> handles;
    handles.reserve(list.size());
    for (const WindowRecord& r : list)
        handles.push_back(r.handle);
    return handles;
}
