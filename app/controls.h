// The nineteen child controls of the main window: creation, font, tooltips,
// subclassing and layout.
#pragma once

#include <windows.h>

// Creates every control in order, with cue banners, subclass procedures,
// tooltips, the area items and the shared font.
void createControls(HWND mainWindow, HINSTANCE instance);
// Places the controls for a client size and renews the tooltip rectangles.
void layoutControls(int clientWidth, int clientHeight);
