// What commandEdit's last key-down leaves for the messages that follow it.
#pragma once

// TranslateMessage turns every key-down that types something into WM_CHAR.
// Whether that WM_CHAR is the input or only a copy of it depends on the key.
enum class PendingInput {
    None,        // the key-down went out itself, or the IME sends its result
    Characters,  // VK_PACKET, or the key after a dead key: its WM_CHARs are the input
    DeadKey,     // a dead key waits for the key that completes it
};

struct TypingState {
    PendingInput pending = PendingInput::None;
    // The high half of a surrogate pair, held until its low half comes.
    char16_t highSurrogate = 0;
};
