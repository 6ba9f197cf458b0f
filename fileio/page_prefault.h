// Bringing memory a large text is about to fill into the process ahead of
// its first write. Under Wine every page first written traps on its own,
// and costs about twice what it costs when the system brings a whole range
// in at one request.
#pragma once

#include <cstddef>
#include <thread>

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

// Brings a range in on a thread of its own while the caller starts filling
// it from the front: the first pages come in by the caller's writes, the
// rest mostly ahead of them, at no cost to the caller's thread. Waits for
// the thread when it goes; without one, brings the range in at once.
class PrefaultAlongside {
  public:
    PrefaultAlongside(void* start, size_t bytes);
    ~PrefaultAlongside();
    PrefaultAlongside(const PrefaultAlongside&) = delete;
    PrefaultAlongside& operator=(const PrefaultAlongside&) = delete;

  private:
    std::thread thread_;
};
