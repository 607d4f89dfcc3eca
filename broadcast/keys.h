// Keystroke broadcast from commandEdit to every selected terminal window.
#pragma once

#include <cstdint>

// True when every selected window is in the normal show state and runs at no
// higher integrity level than Tilewick (windows that no longer exist are
// passed over); otherwise shows one ownerless warning and returns false.
bool checkSelectedShowState();

// A key-down that reached commandEdit: forwarded to every selected window,
// unless its character comes on its own (VK_PACKET, the IME, dead keys).
void broadcastKeys(std::uintptr_t virtualKey, std::intptr_t keyData);

// A WM_CHAR that reached commandEdit: forwarded when it is the input itself,
// dropped when it only repeats a key-down that went out already.
void broadcastCharacter(char16_t unit, std::intptr_t keyData);

// WM_IME_COMPOSITION in commandEdit, given its change flags: true when it
// carried a committed result, which then went whole to every selected window
// and must not reach the edit.
bool broadcastComposition(std::intptr_t changes);

// Keys whose character a modifier can change: letters, digits, punctuation.
bool isCharacterKey(unsigned virtualKey);
