#include "arrange/window_actions.h"

#include "app/app_state.h"
#include "arrange/bands.h"
#include "broadcast/key_state.h"

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
    // Every discovered window counts, also those the filter hides; their
    // handles are taken first, for a refresh may come in between the calls.
    // The minimise is queued, so a terminal that stopped answering cannot
    // block; one reported hung is left alone.
    std::vector<platform::WindowHandle> others;
    for (const WindowRecord& r : a.allWindows)
        if (!selected.count(r.handle))
            others.push_back(r.handle);
    for (const auto window : others)
        if (!platform::windowIsHung(window))
            platform::showWindowAsync(window, platform::kMinimize);
    platform::sleepMs(kSettleMs);
    platform::setFocus(a.controls.commandEdit);
    forgetKeyStates();
    followNow();
}

void flashSelected() {
    const AppState& a = app();
    // Handles, not the selection itself: a probe lets other messages in.
    for (const auto window : handlesOf(a.selectedWindows))
        if (platform::windowAnswers(window, kAnswerMs))
            platform::flashCaption(window, kFlashCount, kFlashIntervalMs);
    platform::setFocus(a.controls.commandEdit);
    forgetKeyStates();
}

void raiseSelected() {
    const AppState& a = app();
    waitForModifiersUp();  // Ctrl or Shift of a Ctrl- or Shift-double-click
    for (const auto window : handlesOf(a.selectedWindows)) {
        if (!platform::windowAnswers(window, kAnswerMs))
            continue;
        platform::setForegroundWindow(window);
        platform::flashCaption(window, kFlashCount, kFlashIntervalMs);
    }
    platform::sleepMs(kSettleMs);
    platform::setForegroundWindow(a.mainWindow);
    forgetKeyStates();
    followNow();
}
