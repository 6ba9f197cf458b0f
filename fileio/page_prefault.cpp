#include "fileio/page_prefault.h"

#include <system_error>

PrefaultAlongside::PrefaultAlongside(void* start, size_t bytes) {
    if (bytes < kPrefaultMinimum)
        return;
    try {
        thread_ = std::thread([start, bytes] { PrefaultPages(start, bytes); });
    } catch (const std::system_error&) {
        PrefaultPages(start, bytes);
    }
}

PrefaultAlongside::~PrefaultAlongside() {
    if (thread_.joinable())
        thread_.join();
}
