#include "fileio/page_prefault.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

void PrefaultPages(void* start, size_t bytes) {
    if (bytes < kPrefaultMinimum)
        return;
#if defined(MADV_POPULATE_WRITE)
    // The call wants whole pages; those inside the range are enough.
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)start;
#endif
}
