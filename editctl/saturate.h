// Pixel and cell arithmetic is done in 64 bits and stored in 32: a huge line
// or a tiny wrap width must not overflow, only saturate.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

inline int32_t Saturate32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
