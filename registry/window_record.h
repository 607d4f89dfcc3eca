// A discovered terminal window: its caption at discovery time and its handle.
// The handle is the record's identity; two windows may share a title.
#pragma once

#include "platform/platform.h"

#include <vector>

constexpr int kTitleUnits = 1024;

struct WindowRecord {
    // First, so that the handle and the start of the title share a cache
    // line: walks over thousands of records touch little else.
    platform::WindowHandle handle = nullptr;
    char16_t title[kTitleUnits] = {};
};

using WindowList = std::vector<WindowRecord>;

// Sets element k of `list` (k at most its size, which then grows by one) to
// a copy of `record`. A record's title holds zeros beyond its terminator, so
// overwriting the old title's units and clearing the rest of them makes the
// same copy as writing all 2 KB, at the cost of the two titles' lengths.
void assignAt(WindowList& list, std::size_t k, const WindowRecord& record);

// Title order: code unit by code unit as unsigned 16-bit values, a prefix
// first; case-sensitive and locale-free.
bool titleLess(const WindowRecord& a, const WindowRecord& b);

// The handles of `list`, in order: what a loop that may let other messages in
// (and so a change of `list`) walks instead of the list itself.
std::vector<platform::WindowHandle> handlesOf(const WindowList& list);
