// Small gestures on Tilewick's controls, built from the bench's real input.
#pragma once

#include "bench.h"

#include <vector>

namespace gestures {

// Screen point at the middle of list row `row`.
POINT rowPoint(HWND listBox, int row);
// Clicks a row, with Ctrl held when `ctrl`.
void clickRow(HWND listBox, int row, bool ctrl = false);
// The monitors as the desktop reports them, in enumeration order.
std::vector<RECT> monitorRects();
// Brings the main window forward with a click on its caption, so that the
// keyboard input that follows reaches it.
void activate(HWND mainWindow);
// Alt + key.
void alt(WORD vk);

}  // namespace gestures
