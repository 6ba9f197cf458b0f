// Scanning helpers for the loops that run over whole files, written so that
// the compiler can process many bytes or units per instruction.
#pragma once

#include "fileio/text_units.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// How many of the eight bytes at p, from the first, are ASCII (0-8).
inline size_t AsciiPrefixOfEight(const void* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const uint64_t high = word & 0x8080808080808080ull;
    if (high == 0)
        return 8;
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<size_t>(std::countr_zero(high)) / 8;
    else
        return static_cast<size_t>(std::countl_zero(high)) / 8;
}

// Whether any of the eight UTF-16 units at p is CR or LF. Without SSE2, a
// lane of a word XOR the break is zero exactly where the break is, and the
// classic zero-lane test sees whether any lane is.
inline bool AnyBreakInEight(const char16_t* p) {
#if defined(__SSE2__)
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(kCr)),
                                      _mm_cmpeq_epi16(units, _mm_set1_epi16(kLf)));
    return _mm_movemask_epi8(hits) != 0;
#else
    constexpr uint64_t kOnes = 0x0001000100010001ull;
    constexpr uint64_t kHighs = 0x8000800080008000ull;
    auto zeroLanes = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    uint64_t words[2];
    std::memcpy(words, p, sizeof words);
    uint64_t found = 0;
    for (uint64_t w : words)
        found |= zeroLanes(w ^ (kOnes * kCr)) | zeroLanes(w ^ (kOnes * kLf));
    return found != 0;
#endif
}

struct BreakTally {
    size_t cr = 0;    // every CR, paired or not
    size_t lf = 0;    // every LF, paired or not
    size_t pairs = 0; // CR immediately followed by LF
};

// Counts the CRs, LFs and CR LF pairs of bytes (Unit char) or text (char16_t).
// The counters are as narrow as the units, emptied into the totals before
// they can overflow, so each vector instruction counts as many units as fit.
template <typename Unit> BreakTally TallyBreaks(const Unit* p, size_t n) {
    using Counter = std::conditional_t<sizeof(Unit) == 1, uint8_t, uint16_t>;
    constexpr size_t kChunk = sizeof(Unit) == 1 ? 255 : 65535;
    BreakTally tally;
    if (n == 0)
        return tally;
    size_t i = 0;
    while (i + 1 < n) {
        const size_t end = std::min(n - 1, i + kChunk);
        Counter cr = 0, lf = 0, pairs = 0;
        for (; i < end; ++i) {
            cr = static_cast<Counter>(cr + (p[i] == kCr));
            lf = static_cast<Counter>(lf + (p[i] == kLf));
            pairs += (p[i] == kCr) & (p[i + 1] == kLf);
        }
        tally.cr += cr;
        tally.lf += lf;
        tally.pairs += pairs;
    }
    tally.cr += p[n - 1] == kCr;
    tally.lf += p[n - 1] == kLf;
    return tally;
}
