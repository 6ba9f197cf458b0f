#include "fileio/utf8_decode.h"
#include "fileio/text_units.h"
#include "fileio/utf8_sequence.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Where decoding stands in the bytes and in the units.
struct Cursor {
    const unsigned char* p;
    size_t n;
    size_t i;
    char16_t* out;
    size_t room;
    size_t w;
};

constexpr uint64_t kLows = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;
constexpr uint64_t kSevens = 0x7F7F7F7F7F7F7F7Full;

// 0x80 in each byte of word that is zero. No carry crosses from one byte to
// the next, so each byte answers for itself and the first flag is exact
// whichever way the word is laid out.
uint64_t ZeroBytes(uint64_t word) {
    return ~(((word & kSevens) + kSevens) | word | kSevens);
}

// 0x80 in each byte of word that cannot be widened as it is: a non-ASCII
// byte, CR or LF.
uint64_t SpecialBytes(uint64_t word) {
    return (word & kHighs) | ZeroBytes(word ^ (kLows * '\r')) | ZeroBytes(word ^ (kLows * '\n'));
}

// How many bytes come before the first flagged one; special is not zero.
size_t PlainPrefix(uint64_t special) {
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<size_t>(std::countr_zero(special)) / 8;
    else
        return static_cast<size_t>(std::countl_zero(special)) / 8;
}

// The four bytes in the low half of word as four 16-bit lanes, in the same
// order of significance.
uint64_t SpreadFour(uint64_t word) {
    word = (word | word << 16) & 0x0000FFFF0000FFFFull;
    return (word | word << 8) & 0x00FF00FF00FF00FFull;
}

// Writes the eight bytes of word, as they lie in memory, as eight units.
// Word arithmetic rather than a loop over the bytes, which the compiler
// would take apart byte by byte.
void WidenEight(uint64_t word, char16_t* out) {
    const uint64_t first = std::endian::native == std::endian::little ? word : word >> 32;
    const uint64_t second = std::endian::native == std::endian::little ? word >> 32 : word;
    const uint64_t lanes[2] = {SpreadFour(first & 0xFFFFFFFF), SpreadFour(second & 0xFFFFFFFF)};
    std::memcpy(out, lanes, sizeof lanes);
}

#if defined(__SSE2__)
// Copies ASCII without breaks sixteen bytes a step, as CopyPlainRun does
// eight, in a fraction of the instructions per byte. True when it stopped at a
// byte that ends the run, false when too few bytes or too little room are
// left for a step.
bool CopyPlainSixteens(Cursor& c) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (c.n - c.i >= 16 && c.room - c.w >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c.p + c.i));
        auto* out = reinterpret_cast<__m128i*>(c.out + c.w);
        _mm_storeu_si128(out, _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(bytes, zero));
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        const auto special = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(bytes, breaks)));
        if (special != 0) {
            const auto plain = static_cast<size_t>(std::countr_zero(special));
            c.i += plain;
            c.w += plain;
            return true;
        }
        c.i += 16;
        c.w += 16;
    }
    return false;
}
#endif

// Copies ASCII without breaks eight bytes a step. Each step widens all
// eight bytes and moves past the plain ones only; the units past them are
// written again by whatever decodes the byte that stopped the run.
void CopyPlainRun(Cursor& c) {
#if defined(__SSE2__)
    if (CopyPlainSixteens(c))
        return;
#endif
    while (c.n - c.i >= 8 && c.room - c.w >= 8) {
        uint64_t word;
        std::memcpy(&word, c.p + c.i, sizeof word);
        WidenEight(word, c.out + c.w);
        const uint64_t special = SpecialBytes(word);
        if (special != 0) {
            const size_t plain = PlainPrefix(special);
            c.i += plain;
            c.w += plain;
            return;
        }
        c.i += 8;
        c.w += 8;
    }
}

// Writes the CR or LF at c.i as CR LF, taking the LF of a CR LF pair with
// it. A CR that ends the bytes counts as lone until the next piece shows
// otherwise.
bool PutBreak(Cursor& c, Utf8Decoding& decoding) {
    if (c.room - c.w < 2)
        return false;
    c.out[c.w++] = kCr;
    c.out[c.w++] = kLf;
    if (c.p[c.i++] == '\n') {
        ++decoding.counts.lf;
    } else if (c.i < c.n && c.p[c.i] == '\n') {
        ++decoding.counts.crlf;
        ++c.i;
    } else {
        ++decoding.counts.cr;
        decoding.afterCr = c.i == c.n;
    }
    return true;
}

// PutSequence where four bytes can be read and two units written. Nothing
// is consumed when false.
bool PutWholeSequence(Cursor& c) {
    const unsigned char* p = c.p + c.i;
    // Two bytes, or three whose lead bounds the second byte no closer than
    // any continuation: most letters past Latin, told by fewer tests.
    if ((p[0] & 0xE0) == 0xC0 && p[0] >= 0xC2 && (p[1] & 0xC0) == 0x80) {
        c.out[c.w++] = static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        c.i += 2;
        return true;
    }
    if ((p[0] & 0xF0) == 0xE0 && p[0] != 0xE0 && p[0] != 0xED && (p[1] & 0xC0) == 0x80 &&
        (p[2] & 0xC0) == 0x80) {
        c.out[c.w++] =
            static_cast<char16_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        c.i += 3;
        return true;
    }
    // The rest: one branch tells every way the sequence can be ill-formed,
    // and the units are written whether one or two.
    const Utf8Lead lead = kUtf8Leads[p[0]];
    const bool ill = (lead.length == 0) | (p[1] < lead.secondMin) | (p[1] > lead.secondMax) |
                     ((lead.length >= 3) & ((p[2] & 0xC0) != 0x80)) |
                     ((lead.length == 4) & ((p[3] & 0xC0) != 0x80));
    if (ill)
        return false;
    const char32_t cp = AssembleUtf8(p, lead.length);
    const bool pair = cp >= 0x10000;
    c.out[c.w] = pair ? HighSurrogateOf(cp) : static_cast<char16_t>(cp);
    c.out[c.w + 1] = LowSurrogateOf(cp);
    c.i += lead.length;
    c.w += pair ? 2 : 1;
    return true;
}

// Decodes the sequence of two to four bytes that starts at c.i, and those
// right after it: words of a script other than Latin are runs of them.
// False when one is not well-formed: a byte that cannot start one, a
// sequence cut short by the end of the bytes, or a later byte out of its
// range.
bool PutSequence(Cursor& c) {
    while (c.n - c.i >= 4 && c.room - c.w >= 2 && PutWholeSequence(c)) {
        if (c.i == c.n || c.p[c.i] < 0x80)
            return true;
    }
    char32_t cp;
    const size_t length = DecodeUtf8Sequence(c.p + c.i, c.n - c.i, cp);
    if (length != kUtf8Leads[c.p[c.i]].length)
        return false;
    const size_t units = cp >= 0x10000 ? 2 : 1;
    if (c.room - c.w < units)
        return false;
    if (units == 1) {
        c.out[c.w] = static_cast<char16_t>(cp);
    } else {
        c.out[c.w] = HighSurrogateOf(cp);
        c.out[c.w + 1] = LowSurrogateOf(cp);
    }
    c.i += length;
    c.w += units;
    return true;
}

bool PutPlainByte(Cursor& c) {
    if (c.room == c.w)
        return false;
    c.out[c.w++] = c.p[c.i++];
    return true;
}

} // namespace

bool DecodeUtf8Normalized(std::string_view bytes, char16_t* out, size_t room, size_t& written,
                          Utf8Decoding& decoding) {
    Cursor c{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, out, room, 0};
    if (c.n != 0 && decoding.afterCr) {
        decoding.afterCr = false;
        if (c.p[0] == '\n') {
            --decoding.counts.cr;
            ++decoding.counts.crlf;
            c.i = 1;
        }
    }
    while (c.i < c.n) {
        CopyPlainRun(c);
        if (c.i == c.n)
            break;
        const unsigned char b = c.p[c.i];
        const bool put = b >= 0x80                ? PutSequence(c)
                         : b == '\r' || b == '\n' ? PutBreak(c, decoding)
                                                  : PutPlainByte(c);
        if (!put)
            return false;
    }
    written = c.w;
    return true;
}
