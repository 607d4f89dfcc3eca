// The main window's layout as a pure function of its client size and DPI.
#pragma once

#include "arrange/dpi.h"
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

// Every length of the rule is given at 96 DPI and drawn at `dpi`; the client
// size is what the window measures.
MainLayout computeLayout(int clientWidth, int clientHeight, unsigned dpi = kBaseDpi);

// A box given at 96 DPI (a control's creation geometry) at `dpi`.
Box scaleBox(const Box& at96, unsigned dpi);
