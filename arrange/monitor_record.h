// A display: its device name and full monitor rectangle (taskbar included),
// in virtual-screen pixels.
#pragma once

#include "platform/platform.h"

constexpr int kDeviceNameUnits = 1024;

struct MonitorRecord {
    char16_t deviceName[kDeviceNameUnits] = {};
    platform::Rect area;
};
