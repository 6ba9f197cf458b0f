// Scroll offsets are 64-bit pixels; a scroll bar counts in 32 bits, and the
// system's thumb arithmetic overflows well before that. A bar therefore
// counts one pixel per unit while the content is short enough, and beyond
// that as many pixels per unit as keep it within bounds. Its two ends are
// always the two ends of the scroll range.
#pragma once

#include "editctl/effects.h"

#include <cstdint>

// The bar for content `extent` pixels long of which `page` pixels show,
// scrolled `offset` pixels in (clamped to the range).
ScrollBarState ScrollBarFor(int64_t extent, int32_t page, int64_t offset);
// The offset a position of that bar stands for, within [0, extent - page].
int64_t ScrollOffsetAt(int64_t extent, int32_t page, int32_t position);
