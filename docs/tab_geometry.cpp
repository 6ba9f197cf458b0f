#include "docs/tab_geometry.h"

#include <algorithm>

Box CloseGlyphRect(const Box& item) {
    const int32_t height = item.Height();
    const int32_t side = std::clamp(height - 10, 10, 16);
    const int32_t right = item.right - 8;
    const int32_t top = item.top + (height - side) / 2;
    return {right - side, top, right, top + side};
}

Box TabCaptionRect(const Box& item, const Box& glyph) {
    const int32_t left = item.left + 10;
    return {left, item.top, std::max(left, glyph.left - 6), item.bottom};
}
