// Arrange: tile the selected windows into equal cells over the chosen
// display and area, in the order of selectedWindows.
#pragma once

#include "platform/platform.h"

#include <vector>

// A grid field's number: leading blanks skipped, an optional sign, then the
// digits up to the first other character; no digits gives 0. Clamped to int.
int parseGridNumber(const char16_t* text);

struct ArrangeInput {
    platform::Rect display;
    int area;
    int columns;
    int rows;   // as typed; raised for this run when the grid is too small
    int count;  // windows to place
};

// The cells of the first `count` windows, row-major. Empty when the grid has
// no column or (after raising the rows) no row, so nothing is divided by zero.
std::vector<platform::Rect> arrangeCells(const ArrangeInput& in);

void arrangeWindows();
