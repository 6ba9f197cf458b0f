#include "fileio/utf8_shuffle.h"

#include <atomic>
#include <bit>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define TESSARY_UTF8_SHUFFLES 1
#endif

#if TESSARY_UTF8_SHUFFLES

namespace {

// For each choice of units to keep among eight, the shuffle that moves
// them to the front in order, and how many there are.
struct Compaction {
    alignas(16) uint8_t shuffle[256][16];
    uint8_t count[256];
};

constexpr Compaction MakeCompaction() {
    Compaction c{};
    for (unsigned keep = 0; keep < 256; ++keep) {
        unsigned kept = 0;
        for (unsigned unit = 0; unit < 8; ++unit) {
            if ((keep >> unit & 1) == 0)
                continue;
            c.shuffle[keep][2 * kept] = static_cast<uint8_t>(2 * unit);
            c.shuffle[keep][2 * kept + 1] = static_cast<uint8_t>(2 * unit + 1);
            ++kept;
        }
        for (unsigned b = 2 * kept; b < 16; ++b)
            c.shuffle[keep][b] = 0x80;
        c.count[keep] = static_cast<uint8_t>(kept);
    }
    return c;
}

constexpr Compaction kCompaction = MakeCompaction();

std::atomic<bool> shufflesWanted{true};

unsigned CountBits(unsigned sixteen) {
    return kCompaction.count[sixteen & 0xFF] + kCompaction.count[sixteen >> 8];
}

// One flag a byte of sixteen, and for some, one for the byte after it,
// which may be the first of the next sixteen.
struct ByteKinds {
    unsigned high;         // 0x80 and up
    unsigned continuation; // 0x80-0xBF
    unsigned lead2;        // 0xC2-0xDF
    unsigned lead3;        // 0xE0-0xEF
    unsigned lead4;        // 0xF0-0xF4
    unsigned e0;
    unsigned ed;
    unsigned f0;
    unsigned f4;
    unsigned cr;
    unsigned lf;
    unsigned nextUpper; // the next byte is 0xA0-0xBF
    unsigned nextLow;   // the next byte is 0x80-0x8F
    unsigned nextLf;
};

// The steps of a run, each written out in it rather than called.
#define SSSE3_STEP __attribute__((target("ssse3"), always_inline)) inline

SSSE3_STEP unsigned Flags(__m128i test) {
    return static_cast<unsigned>(_mm_movemask_epi8(test));
}

// The bytes below bound, one of 0x81-0xFF: bytes compare signed, so those
// from 0x80 on are the negative ones, in order, and below any ASCII byte.
SSSE3_STEP __m128i BelowBytes(__m128i b, int bound) {
    return _mm_cmplt_epi8(b, _mm_set1_epi8(static_cast<char>(bound)));
}

SSSE3_STEP unsigned Below(__m128i b, int bound) {
    return Flags(BelowBytes(b, bound));
}

SSSE3_STEP unsigned Equal(__m128i b, int value) {
    return Flags(_mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(value))));
}

// b holds the sixteen bytes, next the sixteen bytes each one after them.
SSSE3_STEP ByteKinds KindsOf(__m128i b, __m128i next) {
    ByteKinds k{};
    const unsigned belowC2 = Below(b, 0xC2);
    const unsigned belowE0 = Below(b, 0xE0);
    const unsigned belowF0 = Below(b, 0xF0);
    const unsigned nextBelowC0 = Below(next, 0xC0);
    k.high = Flags(b);
    k.continuation = Below(b, 0xC0);
    k.lead2 = belowE0 & ~belowC2;
    k.lead3 = belowF0 & ~belowE0;
    k.lead4 = Below(b, 0xF5) & ~belowF0;
    k.e0 = Equal(b, 0xE0);
    k.ed = Equal(b, 0xED);
    k.f0 = Equal(b, 0xF0);
    k.f4 = Equal(b, 0xF4);
    k.cr = Equal(b, '\r');
    k.lf = Equal(b, '\n');
    k.nextUpper = nextBelowC0 & ~Below(next, 0xA0);
    k.nextLow = Below(next, 0x90);
    k.nextLf = Equal(next, '\n');
    return k;
}

// The continuations each lead calls for, as flags from the byte after it
// on; those past the sixteen bytes are flags from 16 on.
unsigned ExpectedContinuations(const ByteKinds& k) {
    const unsigned longer = k.lead3 | k.lead4;
    return (k.lead2 | longer) << 1 | longer << 2 | k.lead4 << 3;
}

// The bytes no sixteen-byte step decodes, given the continuations and the
// CR that earlier bytes call for: a byte that cannot start a sequence, a
// second byte out of its lead's range, a continuation where none belongs
// or none where one does, and a lone CR or LF.
unsigned Unfit(const ByteKinds& k, unsigned expected, unsigned crBefore) {
    return (k.high & ~(k.continuation | k.lead2 | k.lead3 | k.lead4)) | (k.e0 & ~k.nextUpper) |
           (k.ed & k.nextUpper) | (k.f0 & k.nextLow) | (k.f4 & ~k.nextLow) | (k.cr & ~k.nextLf) |
           (k.lf & ~(k.cr << 1 | crBefore)) | ((k.continuation ^ expected) & 0xFFFF);
}

// The unit each of eight bytes would start, given the two bytes after
// each: a byte; a sequence of two or three bytes; the high surrogate of a
// sequence of four at its lead, and its low one at the byte after
// (flagged in afterFour). Called rather than written out: written out
// twice in a step, it spills registers and the step runs slower.
__attribute__((target("ssse3"))) __m128i UnitsOf(__m128i b0, __m128i b1, __m128i b2,
                                                 __m128i afterFour) {
    const __m128i six = _mm_set1_epi16(0x3F);
    const __m128i four = _mm_set1_epi16(0x0F);
    const __m128i m1 = _mm_and_si128(b1, six);
    const __m128i two =
        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b0, _mm_set1_epi16(0x1F)), 6), m1);
    const __m128i three = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(b0, 12), _mm_slli_epi16(m1, 6)),
                                       _mm_and_si128(b2, six));
    const __m128i plane = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b0, _mm_set1_epi16(7)), 2),
                                       _mm_srli_epi16(_mm_and_si128(b1, _mm_set1_epi16(0x30)), 4));
    const __m128i highSurrogate = _mm_or_si128(
        _mm_add_epi16(_mm_set1_epi16(static_cast<short>(0xD7C0)), _mm_slli_epi16(plane, 6)),
        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b1, four), 2),
                     _mm_srli_epi16(_mm_and_si128(b2, six), 4)));
    const __m128i lowSurrogate = _mm_or_si128(
        _mm_set1_epi16(static_cast<short>(0xDC00)),
        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b1, four), 6), _mm_and_si128(b2, six)));
    const __m128i over2 = _mm_cmpgt_epi16(b0, _mm_set1_epi16(0xBF));
    const __m128i over3 = _mm_cmpgt_epi16(b0, _mm_set1_epi16(0xDF));
    const __m128i is4 = _mm_cmpgt_epi16(b0, _mm_set1_epi16(0xEF));
    const __m128i is3 = _mm_andnot_si128(is4, over3);
    const __m128i is2 = _mm_andnot_si128(over3, over2);
    const __m128i one = _mm_andnot_si128(_mm_or_si128(over2, afterFour), b0);
    return _mm_or_si128(_mm_or_si128(one, _mm_and_si128(is2, two)),
                        _mm_or_si128(_mm_and_si128(is3, three),
                                     _mm_or_si128(_mm_and_si128(is4, highSurrogate),
                                                  _mm_and_si128(afterFour, lowSurrogate))));
}

// Writes the units of the bytes flagged in keep: those that start
// sequences, and those right after a lead of four bytes (flagged in
// afterFour). b1 and b2 hold the bytes one and two after each of b's.
SSSE3_STEP void PutKept(__m128i b, __m128i b1, __m128i b2, __m128i afterFour, unsigned keep,
                        char16_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        UnitsOf(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(b1, zero),
                _mm_unpacklo_epi8(b2, zero), _mm_unpacklo_epi8(afterFour, afterFour));
    const __m128i high =
        UnitsOf(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(b1, zero),
                _mm_unpackhi_epi8(b2, zero), _mm_unpackhi_epi8(afterFour, afterFour));
    const unsigned lowKeep = keep & 0xFF;
    const auto* shuffles = reinterpret_cast<const __m128i*>(kCompaction.shuffle);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(low, _mm_load_si128(shuffles + lowKeep)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kCompaction.count[lowKeep]),
                     _mm_shuffle_epi8(high, _mm_load_si128(shuffles + (keep >> 8))));
}

// What one step carries to the next: the continuations and the LF its last
// bytes call for, and whether its last byte leads four.
struct Carried {
    unsigned continuations = 0;
    unsigned cr = 0;
    __m128i lead4 = {};
};

// Ends a run whose last step left the bytes at run.at called for: checks
// the continuations, and writes the low surrogate of a lead of four and the
// LF of a CR, which no step wrote.
Utf8RunEnd FinishCarried(Utf8Run& run, const Carried& carried, bool lowSurrogateDue) {
    const unsigned count = CountBits(carried.continuations);
    const unsigned char* p = run.bytes + run.at;
    for (unsigned k = 0; k < count; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return Utf8RunEnd::Refused;
    }
    if ((lowSurrogateDue || carried.cr != 0) && run.room == run.written)
        return Utf8RunEnd::Refused;
    if (lowSurrogateDue)
        run.out[run.written++] = static_cast<char16_t>(0xDC00 | (p[1] & 0x0F) << 6 | (p[2] & 0x3F));
    if (carried.cr != 0)
        run.out[run.written++] = u'\n';
    run.at += count + carried.cr;
    return Utf8RunEnd::Ended;
}

// How many of sixteen ASCII bytes, with CRs and LFs flagged in cr and lf,
// come before the first lone CR or LF, 16 when none does; `next` is the
// byte after them, crBefore the CR before them.
unsigned AsciiTaken(unsigned cr, unsigned lf, unsigned char next, unsigned crBefore) {
    const unsigned lastCrAlone = (cr & 0x8000) != 0 && next != '\n' ? 0x8000 : 0;
    const unsigned lone = (lf & ~(cr << 1 | crBefore)) | (cr & ~(lf >> 1) & 0x7FFF) | lastCrAlone;
    return lone == 0 ? 16 : static_cast<unsigned>(std::countr_zero(lone));
}

// Decodes sixteen ASCII bytes at r.at up to their first lone CR or LF;
// how many it took.
SSSE3_STEP unsigned AsciiStep(__m128i b, Utf8Run& r, Carried& carried, LineBreakCounts& counts) {
    const __m128i zero = _mm_setzero_si128();
    const unsigned cr = Equal(b, '\r');
    const unsigned lf = Equal(b, '\n');
    auto* out = reinterpret_cast<__m128i*>(r.out + r.written);
    _mm_storeu_si128(out, _mm_unpacklo_epi8(b, zero));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(b, zero));
    unsigned taken = 16;
    if ((cr | lf) != 0) {
        taken = AsciiTaken(cr, lf, r.bytes[r.at + 16], carried.cr);
        if (cr != 0)
            counts.crlf += CountBits(cr & ((1u << taken) - 1));
    }
    r.at += taken;
    r.written += taken;
    carried = Carried{};
    carried.cr = cr >> 15;
    return taken;
}

// Decodes sixteen bytes at r.at, some above ASCII, up to the first that
// does not fit a step; false when a continuation is due there, so that a
// sequence is cut short. Sequences before it are whole.
SSSE3_STEP bool MixedStep(__m128i b, Utf8Run& r, Carried& carried, LineBreakCounts& counts,
                          unsigned& taken) {
    const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r.bytes + r.at + 16));
    const __m128i b1 = _mm_alignr_epi8(after, b, 1);
    const __m128i b2 = _mm_alignr_epi8(after, b, 2);
    const ByteKinds kinds = KindsOf(b, b1);
    const unsigned expected = ExpectedContinuations(kinds);
    const unsigned due = expected | carried.continuations;
    const unsigned unfit = Unfit(kinds, due, carried.cr);
    taken = unfit == 0 ? 16 : static_cast<unsigned>(std::countr_zero(unfit));
    if (taken < 16 && (due >> taken & 1) != 0)
        return false;
    const __m128i lead4 = _mm_andnot_si128(BelowBytes(b, 0xF0), BelowBytes(b, 0xF5));
    const __m128i afterFour = _mm_alignr_epi8(lead4, carried.lead4, 15);
    const unsigned within = (1u << taken) - 1;
    const unsigned keep = (~kinds.continuation | Flags(afterFour)) & within;
    PutKept(b, b1, b2, afterFour, keep, r.out + r.written);
    counts.crlf += CountBits(kinds.cr & within);
    r.at += taken;
    r.written += CountBits(keep);
    carried.continuations = expected >> 16;
    carried.cr = kinds.cr >> 15;
    carried.lead4 = lead4;
    return true;
}

} // namespace

bool Utf8ShufflesUsable() {
    static const bool present = __builtin_cpu_supports("ssse3");
    return present && shufflesWanted.load(std::memory_order_relaxed);
}

void UseUtf8Shuffles(bool use) {
    shufflesWanted.store(use, std::memory_order_relaxed);
}

// The run is worked on in a copy: the stores of units could alias its
// fields, which would then be loaded again every step. A step moves on
// sixteen bytes unless a lone break or a byte for the caller stops it, so
// that the next load need not wait on this step's sums; sequences that run
// past a step are carried to the next.
__attribute__((target("ssse3"))) Utf8RunEnd DecodeShuffledRun(Utf8Run& run,
                                                              LineBreakCounts& counts) {
    Utf8Run r = run;
    Carried carried;
    Utf8RunEnd outcome = Utf8RunEnd::Ended;
    while (r.size - r.at >= 32 && r.room - r.written >= 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r.bytes + r.at));
        unsigned taken = 16;
        if ((Flags(b) | carried.continuations) == 0) {
            taken = AsciiStep(b, r, carried, counts);
        } else if (!MixedStep(b, r, carried, counts, taken)) {
            outcome = Utf8RunEnd::Refused;
            break;
        }
        if (taken == 16)
            continue;
        carried = Carried{};
        if (!PutLoneBreak(r, counts)) {
            outcome = Utf8RunEnd::HandedOver;
            break;
        }
    }
    run = r;
    if (outcome == Utf8RunEnd::Ended && (carried.continuations | carried.cr) != 0)
        return FinishCarried(run, carried, (Flags(carried.lead4) & 0x8000) != 0);
    return outcome;
}

#else

bool Utf8ShufflesUsable() {
    return false;
}

void UseUtf8Shuffles(bool) {}

Utf8RunEnd DecodeShuffledRun(Utf8Run&, LineBreakCounts&) {
    return Utf8RunEnd::Ended;
}

#endif
