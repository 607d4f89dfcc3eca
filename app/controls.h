// The nineteen child controls of the main window: creation, font, tooltips,
// subclassing and layout.
#pragma once

#include <windows.h>

// Creates every control in order, with cue banners, subclass procedures,
// the area items and the shared font.
void createControls(HWND mainWindow, HINSTANCE instance);
// The main window's DPI changed (app().dpi): a font for it, the controls the
// layout does not place at their scaled creation geometry, the tips' widths.
void applyControlDpi();
// Gives the controls their tooltips. A tooltip is a window of its own and
// shows only under a resting mouse, so this waits until the first paint.
void attachTooltips();
// Hands a mouse message of a control whose tooltip does not watch the
// control itself to that tooltip.
void relayToTooltip(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// Places the controls for a client size and renews the tooltip rectangles.
void layoutControls(int clientWidth, int clientHeight);
