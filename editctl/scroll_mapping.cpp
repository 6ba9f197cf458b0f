#include "editctl/scroll_mapping.h"

#include "editctl/saturate.h"

#include <algorithm>

namespace {

// The most units a bar counts: thumb sizes are worked out as page times
// track length over the range, in 32 bits on some systems.
constexpr int64_t kMaxBarUnits = int64_t{1} << 30;

int64_t CeilDiv(int64_t a, int64_t b) {
    return (a + b - 1) / b;
}

int64_t PixelsPerUnit(int64_t extent) {
    return std::max<int64_t>(CeilDiv(extent, kMaxBarUnits), 1);
}

int64_t Range(int64_t extent, int32_t page) {
    return std::max<int64_t>(extent - page, 0);
}

} // namespace

ScrollBarState ScrollBarFor(int64_t extent, int32_t page, int64_t offset) {
    extent = std::max<int64_t>(extent, 0);
    page = std::max(page, 0);
    const int64_t unit = PixelsPerUnit(extent);
    const int64_t range = Range(extent, page);
    offset = std::clamp<int64_t>(offset, 0, range);
    // The range's end rounds up, so that the bar shows it at its very end
    // even when it lies inside a unit.
    const int64_t position = offset == range ? CeilDiv(range, unit) : offset / unit;
    return {Saturate32(CeilDiv(extent, unit)), Saturate32(CeilDiv(page, unit)),
            Saturate32(position)};
}

int64_t ScrollOffsetAt(int64_t extent, int32_t page, int32_t position) {
    extent = std::max<int64_t>(extent, 0);
    const int64_t unit = PixelsPerUnit(extent);
    const int64_t range = Range(extent, std::max(page, 0));
    if (position <= 0)
        return 0;
    return position >= CeilDiv(range, unit) ? range : position * unit;
}
