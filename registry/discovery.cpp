#include "registry/discovery.h"

#include "app/app_state.h"
#include "registry/list_rebuild.h"

#include <algorithm>
#include <cstdint>

namespace {
constexpr char16_t kTerminalClass[] = u"PuTTY";
constexpr int kClassUnits = 1024;

// Title order by sorting indices: a record is two kilobytes, an index four bytes.
void sortByTitle(WindowList& windows) {
    std::vector<std::uint32_t> order(windows.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&windows](std::uint32_t x, std::uint32_t y) {
        return titleLess(windows[x], windows[y]);
    });
    WindowList sorted;
    sorted.reserve(windows.size());
    for (std::uint32_t i : order)
        sorted.push_back(windows[i]);
    windows.swap(sorted);
}
}  // namespace

bool isTerminalClass(const char16_t* className) {
    const char16_t* expected = kTerminalClass;
    for (; *expected; ++expected, ++className)
        if (*className != *expected)
            return false;
    return *className == 0;
}

void discoverWindows() {
    AppState& a = app();
    platform::enumerateTopLevelWindows([&a](platform::WindowHandle window) {
        // The class first: only a terminal's caption is worth reading. A window
        // that closes meanwhile reads as empty and is skipped.
        char16_t windowClass[kClassUnits] = {};
        platform::className(window, windowClass, kClassUnits);
        if (!isTerminalClass(windowClass))
            return true;
        WindowRecord record;
        platform::windowText(window, record.title, kTitleUnits);
        if (record.title[0] != 0) {
            record.handle = window;
            a.allWindows.push_back(record);
        }
        return true;
    });
    // One sort after the walk orders the records as a sort after each window would.
    sortByTitle(a.allWindows);

    const ListRebuild rebuild;
    platform::listReset(a.controls.windowList);
    for (const WindowRecord& record : a.allWindows)
        platform::listAdd(a.controls.windowList, record.title);
}
