// Small gestures on Tilewick's controls, built from the bench's real input.
#pragma once

#include "bench.h"

#include <vector>

namespace gestures {

// Screen point at the middle of list row `row`.
POINT rowPoint(HWND listBox, int row);
// Clicks a row, with Ctrl held when `ctrl`.
void clickRow(HWND listBox, int row, bool ctrl = false);
// Selects exactly `rows`, clicking the first and Ctrl-clicking the others in
// the order given. Wine now and then loses a Ctrl pressed with SendInput; the
// marks are checked and the clicks made again when that happened.
bool selectRows(HWND listBox, const std::vector<int>& rows);
// The monitors as the desktop reports them, in enumeration order.
std::vector<RECT> monitorRects();
// Brings the main window forward with a click on its caption, so that the
// keyboard input that follows reaches it.
void activate(HWND mainWindow);
// Alt + key.
void alt(WORD vk);

}  // namespace gestures
