#include "arrange/grid.h"

#include "app/app_state.h"

namespace {

struct Band {
    int upTo;
    Grid tall, wide, full;
};

// Each band's grid holds its largest n (full screen for up to two windows
// holds four), so a proposal always has room for every selected window.
// clang-format off
constexpr Band kBands[] = {
    {2, {1, 2}, {2, 1}, {2, 2}},   {4, {1, 4}, {2, 2}, {2, 2}},   {6, {2, 3}, {2, 3}, {2, 3}},
    {8, {2, 4}, {2, 4}, {2, 4}},   {10, {2, 5}, {2, 5}, {2, 5}},  {12, {2, 6}, {3, 4}, {3, 4}},
    {16, {4, 4}, {4, 4}, {4, 4}},  {18, {2, 9}, {3, 6}, {3, 6}},  {20, {4, 5}, {4, 5}, {4, 5}},
    {21, {3, 7}, {3, 7}, {3, 7}},  {24, {4, 6}, {4, 6}, {4, 6}},  {27, {3, 9}, {3, 9}, {3, 9}},
    {30, {5, 6}, {5, 6}, {5, 6}},  {32, {4, 8}, {4, 8}, {4, 8}},  {35, {5, 7}, {5, 7}, {5, 7}},
    {36, {6, 6}, {6, 6}, {6, 6}},  {40, {5, 8}, {5, 8}, {5, 8}},  {42, {6, 7}, {6, 7}, {6, 7}},
    {45, {5, 9}, {5, 9}, {5, 9}},  {48, {6, 8}, {6, 8}, {6, 8}},  {54, {6, 9}, {6, 9}, {6, 9}},
};
// clang-format on

}  // namespace

std::optional<Grid> gridFor(int n, int area) {
    for (const Band& band : kBands) {
        if (n > band.upTo)
            continue;
        if (area == kLeftHalf || area == kRightHalf)
            return band.tall;
        if (area == kTopHalf || area == kBottomHalf)
            return band.wide;
        return band.full;
    }
    return std::nullopt;
}

void proposeGrid() {
    const AppState& a = app();
    const int n = static_cast<int>(a.selectedWindows.size());
    const auto grid = gridFor(n, platform::comboSelection(a.controls.areaCombo));
    if (!grid)
        return;
    const char16_t columns[] = {static_cast<char16_t>(u'0' + grid->columns), 0};
    const char16_t rows[] = {static_cast<char16_t>(u'0' + grid->rows), 0};
    platform::setWindowText(a.controls.columnsEdit, columns);
    platform::setWindowText(a.controls.rowsEdit, rows);
}
