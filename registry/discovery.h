// Window discovery: every top-level window of class "PuTTY" with a caption,
// appended to allWindows in title order, then shown in windowList.
#pragma once

// The exact class name of a terminal window.
bool isTerminalClass(const char16_t* className);

// Appends the terminal windows to allWindows (the caller empties it first
// when it wants a fresh picture) and rebuilds the rows of windowList.
void discoverWindows();
