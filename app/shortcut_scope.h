// Which messages Tilewick's keyboard shortcuts apply to.
#pragma once

#include "platform/platform.h"

// True for a message of the main window or of one of its controls. The help
// viewer and the dialogs run on the same thread and loop; their keys are
// theirs, and must not arrange or hide terminals behind them.
bool takesShortcuts(platform::WindowHandle target);
