// A rectangle in pixels, right and bottom exclusive, for the platform-free
// geometry of the layout and the tab strip.
#pragma once

#include <cstdint>

struct Box {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    bool operator==(const Box&) const = default;
};
