// Stand-in converters for builds without the Windows ones: UTF-8 and, as the
// ANSI code page, Windows-1252 (the page Windows and Wine use for Western
// European systems), so that both builds agree on the common cases.
#include "fileio/codepage.h"
#include "fileio/byte_scan.h"
#include "fileio/text_format.h"
#include "fileio/text_units.h"
#include "fileio/utf8_sequence.h"

#include <cstring>

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes the page leaves undefined map
// to the C1 control of the same value, as the Windows converter does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsUtf8(uint32_t codePage) {
    return codePage == kCodePageUtf8;
}
bool IsCp1252(uint32_t codePage) {
    return codePage == kCodePageAnsi || codePage == 1252;
}

// Whether p starts a well-formed sequence of lead's length; reads p[0..3].
bool WellFormedAt(const unsigned char* p, Utf8Lead lead) {
    static constexpr uint32_t kLaterBytes[5] = {0, 0, 0, 0xC0, 0xC0C0};
    const uint32_t later = p[2] | static_cast<uint32_t>(p[3]) << 8;
    const uint32_t mask = kLaterBytes[lead.length];
    return p[1] >= lead.secondMin && p[1] <= lead.secondMax && (later & mask) == (0x8080 & mask);
}

size_t PutCodePoint(char16_t* out, size_t units, char32_t cp) {
    if (cp < 0x10000) {
        out[units] = static_cast<char16_t>(cp);
        return units + 1;
    }
    out[units] = HighSurrogateOf(cp);
    out[units + 1] = LowSurrogateOf(cp);
    return units + 2;
}

// Copies through a local block: out may alias the bytes as far as the
// compiler knows, which would keep it from widening them all at once.
void WidenSixteen(const unsigned char* p, char16_t* out) {
    unsigned char block[16];
    std::memcpy(block, p, sizeof block);
    char16_t wide[16];
    for (int k = 0; k < 16; ++k)
        wide[k] = block[k];
    std::memcpy(out, wide, sizeof wide);
}

// Decodes UTF-8 into out, which must have room for n units (no sequence
// yields more units than it has bytes); returns the units written.
//
// The main loop, while twenty bytes remain, widens sixteen bytes at once and
// moves past the ASCII ones, then decodes the sequence they stop at with as
// few branches as the common well-formed case allows. Units written past
// those counted are overwritten later, and units <= i keeps every write
// inside out.
size_t DecodeUtf8(const unsigned char* p, size_t n, char16_t* out) {
    size_t units = 0;
    size_t i = 0;
    while (n - i >= 20) {
        size_t ascii = AsciiPrefixOfEight(p + i);
        if (ascii == 8)
            ascii += AsciiPrefixOfEight(p + i + 8);
        WidenSixteen(p + i, out + units);
        units += ascii;
        i += ascii;
        if (ascii == 16)
            continue;
        const Utf8Lead lead = kUtf8Leads[p[i]];
        if (WellFormedAt(p + i, lead)) {
            const char32_t cp = AssembleUtf8(p + i, lead.length);
            const bool pair = cp >= 0x10000;
            out[units] = pair ? HighSurrogateOf(cp) : static_cast<char16_t>(cp);
            out[units + 1] = LowSurrogateOf(cp);
            units += 1 + pair;
            i += lead.length;
        } else {
            char32_t cp;
            i += DecodeUtf8Sequence(p + i, n - i, cp);
            units = PutCodePoint(out, units, cp);
        }
    }
    while (i < n) {
        char32_t cp;
        i += DecodeUtf8Sequence(p + i, n - i, cp);
        units = PutCodePoint(out, units, cp);
    }
    return units;
}

void DecodeCp1252(const unsigned char* p, size_t n, char16_t* out) {
    for (size_t i = 0; i < n; ++i)
        out[i] = p[i] < 0x80 ? p[i] : p[i] < 0xA0 ? kCp1252High[p[i] - 0x80] : p[i];
}

// Runs the UTF-8 encoder; with a null `out` it only counts the bytes.
size_t EncodeUtf8(std::u16string_view text, unsigned char* out) {
    size_t size = 0;
    auto put = [&](unsigned value) {
        if (out)
            out[size] = static_cast<unsigned char>(value);
        ++size;
    };
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = text[i];
        if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            const bool paired =
                IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1]);
            if (paired) {
                cp = CombineSurrogates(text[i], text[i + 1]);
                ++i;
            } else {
                cp = kReplacementUnit;
            }
        }
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | (cp >> 6));
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | (cp >> 12));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | (cp >> 18));
            put(0x80 | ((cp >> 12) & 0x3F));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }
    return size;
}

// The Windows-1252 byte for a UTF-16 unit, or -1 when the page lacks it.
int Cp1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int k = 0; k < 32; ++k) {
        if (kCp1252High[k] == c)
            return 0x80 + k;
    }
    return -1;
}

// Encodes to Windows-1252; with a null `out` it only checks for replacements.
// Each unit the page lacks, each half of a surrogate pair included, becomes
// one '?', as the Windows converter does.
bool EncodeCp1252(std::u16string_view text, char* out) {
    bool replaced = false;
    for (size_t i = 0; i < text.size(); ++i) {
        int b = Cp1252Byte(text[i]);
        if (b < 0) {
            b = '?';
            replaced = true;
        }
        if (out)
            out[i] = static_cast<char>(b);
    }
    return replaced;
}

} // namespace

bool DecodeFromCodePage(uint32_t codePage, std::string_view bytes, std::u16string& text,
                        size_t spareUnits) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    text.clear();
    if (!FitsTextLength(n) || (!IsUtf8(codePage) && !IsCp1252(codePage)))
        return false;
    // Room for the worst case, one unit per byte.
    text.reserve(n + spareUnits);
    text.resize(n);
    if (IsUtf8(codePage))
        text.resize(DecodeUtf8(p, n, text.data()));
    else
        DecodeCp1252(p, n, text.data());
    return true;
}

// Windows-1252 defines every byte.
bool DecodingReplacesBytes(uint32_t codePage, std::string_view bytes) {
    return IsUtf8(codePage) && !IsWellFormedUtf8(bytes.data(), bytes.size(), 0);
}

bool MeasureEncoding(uint32_t codePage, std::u16string_view text, size_t& size, bool& replaced) {
    replaced = false;
    if (IsUtf8(codePage)) {
        size = EncodeUtf8(text, nullptr);
    } else if (IsCp1252(codePage)) {
        size = text.size();
        replaced = EncodeCp1252(text, nullptr);
    } else {
        return false;
    }
    return FitsTextLength(size);
}

bool EncodeMeasured(uint32_t codePage, std::u16string_view text, char* out, size_t) {
    if (IsUtf8(codePage))
        EncodeUtf8(text, reinterpret_cast<unsigned char*>(out));
    else
        EncodeCp1252(text, out);
    return true;
}
