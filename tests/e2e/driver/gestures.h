// Small gestures on Tilewick's controls, built from the bench's real input.
#pragma once

#include "bench.h"

#include <string>
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
// Presses the keys that type `text` on the current keyboard layout, as a user
// would: Shift held for the characters that need it, each key pressed and
// released with its real virtual-key and scan code. False, with the character
// in *why, when some character needs more than Shift or no key types it.
bool typeWithKeys(const std::wstring& text, std::string* why);

}  // namespace gestures
