// The keyboard state each terminal's thread types posted key-downs under.
//
// A terminal translates a posted key-down under the keys its own thread last
// saw: one left behind holding Ctrl (the hot key pressed in it, Alt let go of
// after Tilewick came to the front) turns "l" into ^L. Each selected terminal
// is reset once after anything that may have left it so, before the next key
// reaches it, rather than on every key.
#pragma once

#include "platform/platform.h"

#include <unordered_set>

struct KeyStates {
    // Terminals reset since Tilewick last came to the front or activated
    // terminals itself; real input has reached none of them since.
    std::unordered_set<platform::WindowHandle> reset;
    // Set by each such event: the first key after it resets every selected
    // terminal again. A busy terminal may read the modifiers of the hot key
    // or the click only after the reset made on activation.
    bool resetAtFirstKey = false;
};

// Tilewick came to the front, or brought terminals forward: any terminal may
// hold keys again.
void forgetKeyStates();

// Resets the thread key state of each selected terminal not reset since, and
// not reported hung: when the main window is activated, and before each key
// for what that left. One that cannot be reset (closed, another user's,
// elevated) is left to the post, which fails on it as before.
void resetStaleKeyStates();

// Before a key goes out: the resets resetStaleKeyStates makes, and after an
// activation every selected terminal's once more.
void resetKeyStatesBeforeKey();

// Waits, at most about a second, until the user has let go of the modifiers of
// the shortcut or click that started an action: a terminal brought forward
// meanwhile would take their key-ups, and with the last input the foreground.
void waitForModifiersUp();
