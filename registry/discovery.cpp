#include "registry/discovery.h"

#include "app/app_state.h"

#include <algorithm>

namespace {
constexpr char16_t kTerminalClass[] = u"PuTTY";
constexpr int kClassUnits = 1024;
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
        // A window that closes meanwhile reads as empty and is skipped.
        WindowRecord record;
        char16_t windowClass[kClassUnits] = {};
        platform::windowText(window, record.title, kTitleUnits);
        platform::className(window, windowClass, kClassUnits);
        if (record.title[0] != 0 && isTerminalClass(windowClass)) {
            record.handle = window;
            a.allWindows.push_back(record);
        }
        return true;
    });
    // One sort after the walk orders the records as a sort after each window would.
    std::sort(a.allWindows.begin(), a.allWindows.end(), titleLess);

    platform::listReset(a.controls.windowList);
    for (const WindowRecord& record : a.allWindows)
        platform::listAdd(a.controls.windowList, record.title);
}
