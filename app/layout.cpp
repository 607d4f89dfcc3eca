#include "app/layout.h"

// A left column of width w − 160 beside a 130-wide right column (the group),
// under a full-width command field and above a full-width refresh button.
// In compact mode some heights go to zero or below; those controls are hidden then.
MainLayout computeLayout(int w, int h) {
    MainLayout l;
    l.commandEdit = {10, 8, w - 20, 21};
    l.filterEdit = {10, 60, w - 160, 21};
    l.windowList = {10, 80, w - 160, h - 180};
    l.invertButton = {10, h - 98, w - 220, 22};
    l.flashButton = {w - 205, h - 98, 55, 22};
    l.windowOpsGroup = {w - 140, 55, 130, h - 130};
    l.refreshButton = {10, h - 68, w - 20, 30};
    l.helpButton = {10, h - 32, 24, 24};
    l.countLabel = {w - 160, h - 30, 150, 20};
    l.arrangeButton = {8, 95, 115, h - 260};
    l.hideOthersButton = {8, h - 160, 115, 22};
    return l;
}
