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
}

void resetStaleKeyStates() {
    auto& reset = app().keyStates.reset;
    for (const WindowRecord& r : app().selectedWindows) {
        if (reset.count(r.handle) || platform::windowIsHung(r.handle))
            continue;
        if (platform::resetKeyboardState(r.handle) == platform::KeyStateReset::Reset)
            reset.insert(r.handle);
    }
}

void waitForModifiersUp() {
    for (unsigned waited = 0; waited < kLongestWaitMs && anyModifierDown(); waited += kPollMs)
        platform::sleepMs(kPollMs);
}
