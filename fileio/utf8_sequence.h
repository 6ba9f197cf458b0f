// UTF-8 sequences as Unicode's table of well-formed byte sequences allows
// them: what a lead byte starts, and decoding one sequence.
#pragma once

#include "fileio/text_units.h"

#include <array>
#include <cstddef>
#include <cstdint>

// What the first byte of a UTF-8 sequence tells: the sequence's length (1
// for ASCII, 0 for a byte that cannot start a well-formed sequence) and the
// range its second byte must fall in; later bytes are always 0x80-0xBF.
struct Utf8Lead {
    uint8_t length;
    uint8_t secondMin;
    uint8_t secondMax;
};

constexpr Utf8Lead Utf8LeadOf(int b) {
    auto lead = [](int length, int secondMin, int secondMax) {
        return Utf8Lead{static_cast<uint8_t>(length), static_cast<uint8_t>(secondMin),
                        static_cast<uint8_t>(secondMax)};
    };
    if (b < 0x80)
        return lead(1, 0x00, 0xFF);
    if (b >= 0xC2 && b <= 0xDF)
        return lead(2, 0x80, 0xBF);
    if (b >= 0xE0 && b <= 0xEF)
        return lead(3, b == 0xE0 ? 0xA0 : 0x80, b == 0xED ? 0x9F : 0xBF);
    if (b >= 0xF0 && b <= 0xF4)
        return lead(4, b == 0xF0 ? 0x90 : 0x80, b == 0xF4 ? 0x8F : 0xBF);
    return lead(0, 0xFF, 0x00);
}

inline constexpr auto kUtf8Leads = [] {
    std::array<Utf8Lead, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<size_t>(b)] = Utf8LeadOf(b);
    return table;
}();

// The code point of the well-formed sequence at p; reads p[0..3] whatever
// the length, the bytes past it shifting out.
inline char32_t AssembleUtf8(const unsigned char* p, int length) {
    static constexpr uint8_t kLeadBits[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    const char32_t value = static_cast<char32_t>(p[0] & kLeadBits[length]) << 18 |
                           static_cast<char32_t>(p[1] & 0x3F) << 12 |
                           static_cast<char32_t>(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    return value >> (6 * (4 - length));
}

// Decodes the sequence at p[0..n), n >= 1. Returns the bytes consumed and the
// code point, or U+FFFD for an ill-formed sequence, which consumes its
// maximal well-formed prefix (at least one byte): the sequence was
// well-formed exactly when it consumed its lead's length.
inline size_t DecodeUtf8Sequence(const unsigned char* p, size_t n, char32_t& cp) {
    const Utf8Lead lead = kUtf8Leads[p[0]];
    cp = kReplacementUnit;
    if (lead.length == 0)
        return 1;
    unsigned char bytes[4] = {p[0], 0x80, 0x80, 0x80};
    for (size_t k = 1; k < lead.length; ++k) {
        if (k >= n)
            return k;
        const unsigned char b = p[k];
        const bool ok = k == 1 ? b >= lead.secondMin && b <= lead.secondMax : (b & 0xC0) == 0x80;
        if (!ok)
            return k;
        bytes[k] = b;
    }
    cp = AssembleUtf8(bytes, lead.length);
    return lead.length;
}
