// Room made before a change that must not fail halfway: once the capacity is
// there, the change only moves elements and cannot run out of memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>

// Grows the capacity to at least `needed`, doubling like the containers' own
// insertions so that many small edits stay linear in cost; settles for
// exactly `needed` when the roomier block cannot be had.
template <typename Container> void MakeRoom(Container& c, size_t needed) {
    if (needed <= c.capacity())
        return;
    const size_t roomy = std::min(std::max(needed, c.capacity() * 2), c.max_size());
    try {
        c.reserve(roomy);
    } catch (const std::bad_alloc&) {
        c.reserve(needed);
    }
}
