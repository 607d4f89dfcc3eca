// Where a window's rectangle and what the user sees of it differ: the
// invisible resize border of Windows 10/11, and the workspace coordinates of
// a window's placement.
#pragma once

#include "platform/platform.h"

// The invisible border on each side: the window's rectangle minus its visible
// frame. None (all zero) when the frame could not be read or does not lie
// inside the rectangle, so a misreading never shrinks or flips a window.
platform::Rect invisibleBorder(const platform::Rect& bounds, const platform::Rect* frame);

// The window rectangle whose visible frame is exactly `cell`.
platform::Rect growByBorder(const platform::Rect& cell, const platform::Rect& border);

// A screen rectangle in the workspace coordinates of a window placement:
// counted from the corner of the display's work area, which lies off the
// display's own corner when a taskbar sits at its top or left.
platform::Rect toWorkspace(const platform::Rect& screen, const platform::Rect& display,
                           const platform::Rect& workArea);
