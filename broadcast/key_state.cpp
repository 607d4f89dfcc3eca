#include "broadcast/key_state.h"

#include "app/app_state.h"

namespace {
constexpr unsigned kModifiers[] = {0x10, 0x11, 0x12, 0x5B, 0x5C};  // Shift, Ctrl, Alt, Windows
constexpr unsigned kPollMs = 10;
constexpr unsigned kLongestWaitMs = 1000;

bool anyModifierDown() {
    for (unsigned vk : kModifiers)
        if (platform::keyIsDown(vk))
            return true;
    return false;
}
}  // namespace

void forgetKeyStates() {
    app().keyStates.reset.clear();
    app().keyStates.resetAtFirstKey = true;
}

void resetKeyStatesBeforeKey() {
    KeyStates& states = app().keyStates;
    if (states.resetAtFirstKey) {
        states.reset.clear();
        states.resetAtFirstKey = false;
    }
    resetStaleKeyStates();
}

void resetStaleKeyStates() {
    auto& reset = app().keyStates.reset;
    // Handles, like every loop over the selection: nothing done in a call may
    // pull the selection from under it.
    for (const auto window : handlesOf(app().selectedWindows)) {
        if (reset.count(window) || platform::windowIsHung(window))
            continue;
        if (platform::resetKeyboardState(window) == platform::KeyStateReset::Reset)
            reset.insert(window);
    }
}

void waitForModifiersUp() {
    for (unsigned waited = 0; waited < kLongestWaitMs && anyModifierDown(); waited += kPollMs)
        platform::sleepMs(kPollMs);
}
