// The subclass procedures that turn mouse and keyboard events on the
// controls into Tilewick's actions.
#pragma once

#include <windows.h>

// What a control's replacement procedure does with one message.
enum class ControlBehaviour {
    None,  // not subclassed
    CommandEdit,
    CompactButton,
    ListTitleLabel,
    WindowList,
    InvertButton,
    FlashButton,
    WindowOpsGroup,
    ArrangeButton,
    HideOthersButton,
    RefreshButton,
    HelpButton,
};

// Replaces the control's window procedure, keeping the previous one.
void subclassControl(HWND control, ControlBehaviour behaviour);
