// Bringing memory a large text is about to fill into the process ahead of
// its first write. Under Wine every page first written traps on its own,
// and costs about twice what it costs when the system brings a whole range
// in at one request.
#pragma once

#include <cstddef>

// Smaller ranges are not worth a request and are left alone.
inline constexpr size_t kPrefaultMinimum = size_t{1} << 20;

// Best effort: where the system declines, the pages come in as they are
// first written, as they would have anyway. Contents stay as they are.
void PrefaultPages(void* start, size_t bytes);

// The room a string or vector holds past its end.
template <typename Container> void PrefaultSpare(Container& items) {
    PrefaultPages(items.data() + items.size(),
                  (items.capacity() - items.size()) * sizeof(*items.data()));
}
