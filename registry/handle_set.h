// Membership by window handle for the list's rebuilds: an open-addressed
// table in one block, built once per rebuild, so that testing every row
// against the selection or the filter stays linear in the number of rows.
#pragma once

#include "registry/window_record.h"

#include <cstddef>
#include <vector>

class HandleSet {
public:
    explicit HandleSet(const WindowList& records);
    bool contains(platform::WindowHandle handle) const;

private:
    std::size_t slotOf(platform::WindowHandle handle) const;

    std::vector<platform::WindowHandle> slots_;  // nullptr marks a free slot
    std::size_t mask_ = 0;
    bool hasNull_ = false;
};
