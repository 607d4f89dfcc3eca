// Keystroke broadcast from commandEdit to every selected terminal window.
#pragma once

#include <cstdint>

// True when every selected window is in the normal show state (windows that
// no longer exist are passed over); otherwise shows the ownerless warning
// once and returns false.
bool checkSelectedShowState();

// Forwards one key-down that reached commandEdit to every selected window.
void broadcastKeys(std::uintptr_t virtualKey, std::intptr_t keyData);

// Keys whose character a modifier can change: letters, digits, punctuation.
bool isCharacterKey(unsigned virtualKey);
