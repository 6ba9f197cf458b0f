#include "fileio/utf8_decode.h"
#include "fileio/text_units.h"
#include "fileio/utf8_compress.h"
#include "fileio/utf8_sequence.h"
#include "fileio/utf8_shuffle.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Cursor = Utf8Run;

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
    while (c.size - c.at >= 16 && c.room - c.written >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c.bytes + c.at));
        auto* out = reinterpret_cast<__m128i*>(c.out + c.written);
        _mm_storeu_si128(out, _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(bytes, zero));
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        const auto special = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(bytes, breaks)));
        if (special != 0) {
            const auto plain = static_cast<size_t>(std::countr_zero(special));
            c.at += plain;
            c.written += plain;
            return true;
        }
        c.at += 16;
        c.written += 16;
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
    while (c.size - c.at >= 8 && c.room - c.written >= 8) {
        uint64_t word;
        std::memcpy(&word, c.bytes + c.at, sizeof word);
        WidenEight(word, c.out + c.written);
        const uint64_t special = SpecialBytes(word);
        if (special != 0) {
            const size_t plain = PlainPrefix(special);
            c.at += plain;
            c.written += plain;
            return;
        }
        c.at += 8;
        c.written += 8;
    }
}

// The vector decoders the processor has and tests left on.
struct Vectors {
    bool compress = Utf8CompressUsable();
    bool shuffles = Utf8ShufflesUsable();
};

// Decodes the run of bytes that need no care one by one: with the widest
// vectors the processor has, then ASCII without breaks. False when the
// bytes are refused.
bool DecodeRun(Cursor& c, const Vectors& vectors, Utf8Decoding& decoding) {
    if (vectors.compress) {
        const Utf8RunEnd outcome = DecodeCompressedRun(c, decoding.counts);
        if (outcome != Utf8RunEnd::Ended)
            return outcome == Utf8RunEnd::HandedOver;
    }
    if (vectors.shuffles) {
        const Utf8RunEnd outcome = DecodeShuffledRun(c, decoding.counts);
        if (outcome != Utf8RunEnd::Ended)
            return outcome == Utf8RunEnd::HandedOver;
    }
    CopyPlainRun(c);
    return true;
}

// Writes the CR or LF at c.at as CR LF, taking the LF of a CR LF pair with
// it. A CR that ends the bytes counts as lone until the next piece shows
// otherwise.
bool PutBreak(Cursor& c, Utf8Decoding& decoding) {
    if (c.room - c.written < 2)
        return false;
    c.out[c.written++] = kCr;
    c.out[c.written++] = kLf;
    if (c.bytes[c.at++] == '\n') {
        ++decoding.counts.lf;
    } else if (c.at < c.size && c.bytes[c.at] == '\n') {
        ++decoding.counts.crlf;
        ++c.at;
    } else {
        ++decoding.counts.cr;
        decoding.afterCr = c.at == c.size;
    }
    return true;
}

// PutSequence where four bytes can be read and two units written. Nothing
// is consumed when false.
bool PutWholeSequence(Cursor& c) {
    const unsigned char* p = c.bytes + c.at;
    // Two bytes, or three whose lead bounds the second byte no closer than
    // any continuation: most letters past Latin, told by fewer tests.
    if ((p[0] & 0xE0) == 0xC0 && p[0] >= 0xC2 && (p[1] & 0xC0) == 0x80) {
        c.out[c.written++] = static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        c.at += 2;
        return true;
    }
    if ((p[0] & 0xF0) == 0xE0 && p[0] != 0xE0 && p[0] != 0xED && (p[1] & 0xC0) == 0x80 &&
        (p[2] & 0xC0) == 0x80) {
        c.out[c.written++] =
            static_cast<char16_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        c.at += 3;
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
    c.out[c.written] = pair ? HighSurrogateOf(cp) : static_cast<char16_t>(cp);
    c.out[c.written + 1] = LowSurrogateOf(cp);
    c.at += lead.length;
    c.written += pair ? 2 : 1;
    return true;
}

// Decodes the sequence of two to four bytes that starts at c.at, and those
// right after it: words of a script other than Latin are runs of them.
// False when one is not well-formed: a byte that cannot start one, a
// sequence cut short by the end of the bytes, or a later byte out of its
// range.
bool PutSequence(Cursor& c) {
    while (c.size - c.at >= 4 && c.room - c.written >= 2 && PutWholeSequence(c)) {
        if (c.at == c.size || c.bytes[c.at] < 0x80)
            return true;
    }
    char32_t cp;
    const size_t length = DecodeUtf8Sequence(c.bytes + c.at, c.size - c.at, cp);
    if (length != kUtf8Leads[c.bytes[c.at]].length)
        return false;
    const size_t units = cp >= 0x10000 ? 2 : 1;
    if (c.room - c.written < units)
        return false;
    if (units == 1) {
        c.out[c.written] = static_cast<char16_t>(cp);
    } else {
        c.out[c.written] = HighSurrogateOf(cp);
        c.out[c.written + 1] = LowSurrogateOf(cp);
    }
    c.at += length;
    c.written += units;
    return true;
}

bool PutPlainByte(Cursor& c) {
    if (c.room == c.written)
        return false;
    c.out[c.written++] = c.bytes[c.at++];
    return true;
}

} // namespace

bool DecodeUtf8Normalized(std::string_view bytes, char16_t* out, size_t room, size_t& written,
                          Utf8Decoding& decoding) {
    Cursor c{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, out, room, 0};
    const Vectors vectors;
    if (c.size != 0 && decoding.afterCr) {
        decoding.afterCr = false;
        if (c.bytes[0] == '\n') {
            --decoding.counts.cr;
            ++decoding.counts.crlf;
            c.at = 1;
        }
    }
    while (c.at < c.size) {
        if (!DecodeRun(c, vectors, decoding))
            return false;
        if (c.at == c.size)
            break;
        const unsigned char b = c.bytes[c.at];
        const bool put = b >= 0x80                ? PutSequence(c)
                         : b == '\r' || b == '\n' ? PutBreak(c, decoding)
                                                  : PutPlainByte(c);
        if (!put)
            return false;
    }
    written = c.written;
    return true;
}
