// The main window's layout as a pure function of its client size.
#pragma once

#include "platform/platform.h"

struct Box {
    int x, y, width, height;
    bool operator==(const Box& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

struct MainLayout {
    // Children of the main window.
    Box commandEdit, filterEdit, windowList, invertButton, flashButton, windowOpsGroup,
        refreshButton, helpButton, countLabel;
    // Children of windowOpsGroup, in its coordinates.
    Box arrangeButton, hideOthersButton;
};

MainLayout computeLayout(int clientWidth, int clientHeight);
