// Display scale arithmetic: lengths are given at 96 DPI (100 %) and drawn at
// the window's own DPI.
#pragma once

constexpr unsigned kBaseDpi = 96;

// The DPI the window system reported, or 96 when it is 0 or beyond any real
// display, so a bad answer never makes a window of zero or absurd size.
unsigned usableDpi(unsigned reported);

// A length given at 96 DPI, at `dpi`, rounded to the nearest pixel (halves
// away from zero, as MulDiv rounds).
int scaleToDpi(int length96, unsigned dpi);
