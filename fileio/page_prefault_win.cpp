#include "fileio/page_prefault.h"

#include <algorithm>

#include <windows.h>

void PrefaultPages(void* start, size_t bytes) {
    if (bytes < kPrefaultMinimum)
        return;
    // Locking pages brings them in; unlocking them at once leaves them there
    // without holding them. A chunk at a time keeps within a small quota of
    // locked memory. Windows itself grants little to lock unless asked for a
    // larger working set, so there the first chunk fails and that is all.
    constexpr size_t kChunk = 1 << 20;
    auto* p = static_cast<char*>(start);
    for (size_t done = 0; done < bytes; done += kChunk) {
        const size_t n = std::min(kChunk, bytes - done);
        if (!VirtualLock(p + done, n) || !VirtualUnlock(p + done, n))
            return;
    }
}
