#include "registry/handle_set.h"

#include <cstdint>

HandleSet::HandleSet(const WindowList& records) {
    // At most half full, so that a search ends after a few slots.
    std::size_t size = 16;
    while (size < 2 * records.size())
        size *= 2;
    slots_.assign(size, nullptr);
    mask_ = size - 1;
    for (const WindowRecord& r : records) {
        if (!r.handle) {
            hasNull_ = true;
            continue;
        }
        std::size_t slot = slotOf(r.handle);
        while (slots_[slot] && slots_[slot] != r.handle)
            slot = (slot + 1) & mask_;
        slots_[slot] = r.handle;
    }
}

bool HandleSet::contains(platform::WindowHandle handle) const {
    if (!handle)
        return hasNull_;
    for (std::size_t slot = slotOf(handle);; slot = (slot + 1) & mask_) {
        if (slots_[slot] == handle)
            return true;
        if (!slots_[slot])
            return false;
    }
}

std::size_t HandleSet::slotOf(platform::WindowHandle handle) const {
    // Fibonacci hashing: handles are aligned and close together, the
    // multiplication spreads them over the table.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
}
