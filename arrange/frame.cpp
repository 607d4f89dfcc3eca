#include "arrange/frame.h"

platform::Rect invisibleBorder(const platform::Rect& b, const platform::Rect* frame) {
    if (!frame)
        return {};
    const platform::Rect& f = *frame;
    const bool inside = f.left >= b.left && f.top >= b.top && f.right <= b.right &&
                        f.bottom <= b.bottom && f.left < f.right && f.top < f.bottom;
    if (!inside)
        return {};
    return {f.left - b.left, f.top - b.top, b.right - f.right, b.bottom - f.bottom};
}

platform::Rect growByBorder(const platform::Rect& cell, const platform::Rect& border) {
    return {cell.left - border.left, cell.top - border.top, cell.right + border.right,
            cell.bottom + border.bottom};
}

platform::Rect toWorkspace(const platform::Rect& screen, const platform::Rect& display,
                           const platform::Rect& workArea) {
    const int dx = workArea.left - display.left;
    const int dy = workArea.top - display.top;
    return {screen.left - dx, screen.top - dy, screen.right - dx, screen.bottom - dy};
}
