// What every part of the program knows about its UTF-16 text: how long it
// may grow, the tab and the two line-break units, surrogates, and the ASCII-only word
// and case rules of word movement and search. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

// Positions are signed 32-bit indexes of code units, so no text (nor any file
// or conversion that would make one) may be longer.
inline constexpr int64_t kMaxTextLength = std::numeric_limits<int32_t>::max();

inline constexpr bool FitsTextLength(size_t units) {
    return units <= static_cast<size_t>(kMaxTextLength);
}

inline constexpr char16_t kTab = u'\t';
inline constexpr char16_t kCr = u'\r';
inline constexpr char16_t kLf = u'\n';
// What decoding puts for bytes or units that make no character.
inline constexpr char16_t kReplacementUnit = 0xFFFD;

inline constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point a high and a low surrogate stand for together.
inline constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
}

// The two units of a code point from U+10000 on, high first.
inline constexpr char16_t HighSurrogateOf(char32_t cp) {
    return static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
}
inline constexpr char16_t LowSurrogateOf(char32_t cp) {
    return static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

// ASCII digits and letters and the underscore; every other unit, non-ASCII
// letters included, separates words.
inline constexpr bool IsWordUnit(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'a' && unit <= u'z') || unit == u'_';
}

// 'A'..'Z' become 'a'..'z'; every other unit comes back unchanged.
inline constexpr char16_t FoldAsciiCase(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit;
}
