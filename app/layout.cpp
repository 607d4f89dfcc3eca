#include "app/layout.h"

// A left column of width w − 160 beside a 130-wide right column (the group),
// under a full-width command field and above a full-width refresh button.
// In compact mode some heights go to zero or below; those controls are hidden then.
MainLayout computeLayout(int w, int h, unsigned dpi) {
    const auto s = [dpi](int length) { return scaleToDpi(length, dpi); };
    MainLayout l;
    l.commandEdit = {s(10), s(8), w - s(20), s(21)};
    l.filterEdit = {s(10), s(60), w - s(160), s(21)};
    l.windowList = {s(10), s(80), w - s(160), h - s(180)};
    l.invertButton = {s(10), h - s(98), w - s(220), s(22)};
    l.flashButton = {w - s(205), h - s(98), s(55), s(22)};
    l.windowOpsGroup = {w - s(140), s(55), s(130), h - s(130)};
    l.refreshButton = {s(10), h - s(68), w - s(20), s(30)};
    l.helpButton = {s(10), h - s(32), s(24), s(24)};
    l.countLabel = {w - s(160), h - s(30), s(150), s(20)};
    l.arrangeButton = {s(8), s(95), s(115), h - s(260)};
    l.hideOthersButton = {s(8), h - s(160), s(115), s(22)};
    return l;
}

Box scaleBox(const Box& b, unsigned dpi) {
    return {scaleToDpi(b.x, dpi), scaleToDpi(b.y, dpi), scaleToDpi(b.width, dpi),
            scaleToDpi(b.height, dpi)};
}
