#include "fileio/utf8_compress.h"

#include <atomic>
#include <bit>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#define TESSARY_UTF8_COMPRESS 1
#endif

#if TESSARY_UTF8_COMPRESS

// Everything the run calls is written out in it: a vector passed to a
// function that is not would go by the stack, which MinGW's GCC does not
// align for it.
#define COMPRESS_TARGET                                                                            \
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi2,popcnt,bmi,bmi2")))
#define COMPRESS_STEP COMPRESS_TARGET __attribute__((always_inline)) inline

namespace {

std::atomic<bool> compressWanted{true};

COMPRESS_STEP __m512i Set(int value) {
    return _mm512_set1_epi16(static_cast<short>(value));
}

// The thirty-two bytes from `at` on, each in a 16-bit lane.
COMPRESS_STEP __m512i Lanes(const unsigned char* at) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)));
}

COMPRESS_STEP uint64_t AtLeast(__m512i b, int bound) {
    return _mm512_cmpge_epu8_mask(b, _mm512_set1_epi8(static_cast<char>(bound)));
}

COMPRESS_STEP uint64_t Equal(__m512i b, int value) {
    return _mm512_cmpeq_epi8_mask(b, _mm512_set1_epi8(static_cast<char>(value)));
}

// One flag a byte of sixty-four, the first lowest.
struct ByteKinds {
    uint64_t continuation; // 0x80-0xBF
    uint64_t lead2;        // 0xC2-0xDF
    uint64_t lead3;        // 0xE0-0xEF
    uint64_t lead4;        // 0xF0-0xF4
    uint64_t unfit;        // starts nothing, or a lead whose second byte is out of its range
};

// b holds the sixty-four bytes and high their flags, b1 the bytes one after each.
COMPRESS_STEP ByteKinds KindsOf(__m512i b, uint64_t high, __m512i b1) {
    const uint64_t c2 = AtLeast(b, 0xC2);
    const uint64_t e0 = AtLeast(b, 0xE0);
    const uint64_t f0 = AtLeast(b, 0xF0);
    const uint64_t f5 = AtLeast(b, 0xF5);
    const uint64_t nextUpper = AtLeast(b1, 0xA0);
    const uint64_t nextLow = ~AtLeast(b1, 0x90);
    ByteKinds k{high & ~AtLeast(b, 0xC0), c2 & ~e0, e0 & ~f0, f0 & ~f5, 0};
    k.unfit = (high & ~(k.continuation | c2)) | f5 | (Equal(b, 0xE0) & ~nextUpper) |
              (Equal(b, 0xED) & nextUpper) | (Equal(b, 0xF0) & nextLow) |
              (Equal(b, 0xF4) & ~nextLow);
    return k;
}

// The continuations the leads call for, as flags from the byte after each
// on; those past the sixty-four bytes fall off, as Crossing stops the step
// before their leads.
COMPRESS_STEP uint64_t ExpectedContinuations(const ByteKinds& k) {
    const uint64_t longer = k.lead3 | k.lead4;
    return (k.lead2 | longer) << 1 | longer << 2 | k.lead4 << 3;
}

// The flags of the first n of sixty-four bytes.
COMPRESS_STEP uint64_t FirstBytes(unsigned n) {
    return n == 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

// The leads whose sequences run past the sixty-four bytes.
COMPRESS_STEP uint64_t Crossing(const ByteKinds& k) {
    return (k.lead2 & uint64_t{1} << 63) | (k.lead3 & uint64_t{3} << 62) |
           (k.lead4 & uint64_t{7} << 61);
}

// The unit each of thirty-two bytes would start, given the two bytes after
// each in w1 and w2, the leads flagged as in ByteKinds: a byte; a sequence
// of two or three bytes; the high surrogate of a sequence of four at its
// lead, and its low one at the byte after (flagged in afterFour). Values
// are assembled as if the bytes after a lead were continuations; where
// they are not, the step stops before the lead anyway.
COMPRESS_STEP __m512i UnitsOf(__m512i w0, __m512i w1, __m512i w2, uint32_t lead2, uint32_t lead3,
                              uint32_t lead4, uint32_t afterFour) {
    const __m512i six = Set(0x3F);
    const __m512i m1 = _mm512_and_si512(w1, six);
    const __m512i lastTwo = _mm512_or_si512(_mm512_slli_epi16(m1, 6), _mm512_and_si512(w2, six));
    const __m512i two = _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(w0, Set(0x1F)), 6), m1);
    const __m512i three = _mm512_or_si512(_mm512_slli_epi16(w0, 12), lastTwo);
    // (value - 0x10000) >> 10 of a sequence of four, plus 0x40.
    const __m512i plane = _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(w0, Set(7)), 8),
                                          _mm512_srli_epi16(lastTwo, 4));
    const __m512i high = _mm512_add_epi16(plane, Set(0xD800 - 0x40));
    const __m512i low = _mm512_or_si512(_mm512_and_si512(lastTwo, Set(0x3FF)), Set(0xDC00));
    __m512i units = _mm512_mask_mov_epi16(w0, lead2, two);
    units = _mm512_mask_mov_epi16(units, lead3, three);
    units = _mm512_mask_mov_epi16(units, lead4, high);
    return _mm512_mask_mov_epi16(units, afterFour, low);
}

// Writes the units of the thirty-two bytes at p flagged in keep, moved
// together, to out; how many.
COMPRESS_STEP unsigned PutHalf(const unsigned char* p, const ByteKinds& k, unsigned shift,
                               uint32_t keep, char16_t* out) {
    const auto half = [shift](uint64_t flags) { return static_cast<uint32_t>(flags >> shift); };
    const __m512i units = UnitsOf(Lanes(p), Lanes(p + 1), Lanes(p + 2), half(k.lead2),
                                  half(k.lead3), half(k.lead4), half(k.lead4 << 1));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(keep, units));
    return static_cast<unsigned>(std::popcount(keep));
}

} // namespace

bool Utf8CompressUsable() {
    static const bool present =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi2") &&
        __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
        __builtin_cpu_supports("bmi2");
    return present && compressWanted.load(std::memory_order_relaxed);
}

void UseUtf8Compress(bool use) {
    compressWanted.store(use, std::memory_order_relaxed);
}

// A step takes the bytes before the first it cannot: a lone CR or LF, a CR
// last (its LF may open the next step), and among bytes above ASCII, one
// that starts nothing, a second byte out of its lead's range, a
// continuation where none belongs or none where one does and a sequence
// running past the step. It then writes the units of what it took, moved
// together. The run is worked on in a copy: the stores of units could
// alias its fields, which would then be loaded again every step.
COMPRESS_TARGET Utf8RunEnd DecodeCompressedRun(Utf8Run& run, LineBreakCounts& counts) {
    Utf8Run r = run;
    Utf8RunEnd outcome = Utf8RunEnd::Ended;
    while (r.size - r.at >= 66 && r.room - r.written >= 64) {
        const unsigned char* p = r.bytes + r.at;
        char16_t* out = r.out + r.written;
        const __m512i b = _mm512_loadu_si512(p);
        const uint64_t cr = Equal(b, '\r');
        const uint64_t lf = Equal(b, '\n');
        const uint64_t high = _mm512_movepi8_mask(b);
        uint64_t stops = (lf & ~(cr << 1)) | (cr & ~(lf >> 1));
        unsigned taken;
        if (high == 0) {
            _mm512_storeu_si512(out, Lanes(p));
            _mm512_storeu_si512(out + 32, Lanes(p + 32));
            taken = static_cast<unsigned>(std::countr_zero(stops));
            r.written += taken;
        } else {
            const ByteKinds k = KindsOf(b, high, _mm512_loadu_si512(p + 1));
            const uint64_t expected = ExpectedContinuations(k);
            stops |= k.unfit | Crossing(k) | (k.continuation ^ expected);
            taken = static_cast<unsigned>(std::countr_zero(stops));
            if (taken < 64 && (expected >> taken & 1) != 0) {
                outcome = Utf8RunEnd::Refused;
                break;
            }
            const uint64_t keep = (~k.continuation | k.lead4 << 1) & FirstBytes(taken);
            const unsigned first = PutHalf(p, k, 0, static_cast<uint32_t>(keep), out);
            r.written +=
                first + PutHalf(p + 32, k, 32, static_cast<uint32_t>(keep >> 32), out + first);
        }
        counts.crlf += static_cast<size_t>(std::popcount(cr & FirstBytes(taken)));
        r.at += taken;
        if (taken == 64)
            continue;
        const unsigned char stop = p[taken];
        if ((stop == '\r' && p[taken + 1] != '\n') || stop == '\n') {
            if (PutLoneBreak(r, counts))
                continue;
        } else if (taken > 0) {
            continue;
        }
        outcome = Utf8RunEnd::HandedOver;
        break;
    }
    run = r;
    return outcome;
}

#else

bool Utf8CompressUsable() {
    return false;
}

void UseUtf8Compress(bool) {}

Utf8RunEnd DecodeCompressedRun(Utf8Run&, LineBreakCounts&) {
    return Utf8RunEnd::Ended;
}

#endif
