// The proposed grid: columns × rows for n selected windows in an area.
#pragma once

#include <optional>

// Indices of areaCombo's items.
enum Area { kFullScreen = 0, kLeftHalf = 1, kTopHalf = 2, kRightHalf = 3, kBottomHalf = 4 };

struct Grid {
    int columns;
    int rows;
};

// The proposal for n windows in area `area` (any index outside 1..4 counts
// as full screen); none from 55 windows on, where the fields keep their text.
std::optional<Grid> gridFor(int n, int area);

// Writes the proposal for the current selection and area into columnsEdit
// and rowsEdit.
void proposeGrid();
