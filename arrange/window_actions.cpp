#include "arrange/window_actions.h"

#include "app/app_state.h"
#include "arrange/bands.h"

#include <unordered_set>

namespace {
constexpr unsigned kFlashCount = 2;
constexpr unsigned kFlashIntervalMs = 250;
constexpr unsigned kSettleMs = 150;
// FlashWindowEx has no asynchronous form: a terminal gets this long to show
// that its thread still answers, or it is passed over.
constexpr unsigned kAnswerMs = 250;
}  // namespace

void hideOthers() {
    const AppState& a = app();
    std::unordered_set<platform::WindowHandle> selected;
    for (const WindowRecord& r : a.selectedWindows)
        selected.insert(r.handle);
    // Every discovered window counts, also those the filter hides. The
    // minimise is queued, so a terminal that stopped answering cannot block;
    // one reported hung is left alone.
    for (const WindowRecord& r : a.allWindows)
        if (!selected.count(r.handle) && !platform::windowIsHung(r.handle))
            platform::showWindowAsync(r.handle, platform::kMinimize);
    platform::sleepMs(kSettleMs);
    platform::setFocus(a.controls.commandEdit);
    followNow();
}

void flashSelected() {
    const AppState& a = app();
    for (const WindowRecord& r : a.selectedWindows)
        if (platform::windowAnswers(r.handle, kAnswerMs))
            platform::flashCaption(r.handle, kFlashCount, kFlashIntervalMs);
    platform::setFocus(a.controls.commandEdit);
}

void raiseSelected() {
    const AppState& a = app();
    for (const WindowRecord& r : a.selectedWindows) {
        if (!platform::windowAnswers(r.handle, kAnswerMs))
            continue;
        platform::setForegroundWindow(r.handle);
        platform::flashCaption(r.handle, kFlashCount, kFlashIntervalMs);
    }
    platform::sleepMs(kSettleMs);
    platform::setForegroundWindow(a.mainWindow);
    followNow();
}
