// A discovered terminal window: its caption at discovery time and its handle.
// The handle is the record's identity; two windows may share a title.
#pragma once

#include "platform/platform.h"

#include <vector>

constexpr int kTitleUnits = 1024;

struct WindowRecord {
    char16_t title[kTitleUnits] = {};
    platform::WindowHandle handle = nullptr;
};

using WindowList = std::vector<WindowRecord>;

// Title order: code unit by code unit as unsigned 16-bit values, a prefix
// first; case-sensitive and locale-free.
bool titleLess(const WindowRecord& a, const WindowRecord& b);
