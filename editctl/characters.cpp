#include "editctl/characters.h"

#include "editctl/char_width_table.h"
#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

constexpr char32_t kFirstWideOrMark = 0x300;

bool IsControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit < 0xA0);
}

template <typename Text> int32_t Length(const Text& text) {
    return static_cast<int32_t>(text.size());
}

// Whether the character that ends at `pos` takes the marks after it.
template <typename Text> bool CarriesMarks(const Text& text, int32_t pos) {
    const char16_t before = text[pos - 1];
    if (IsControl(before) || IsHighSurrogate(before))
        return false;
    if (IsLowSurrogate(before))
        return pos >= 2 && IsHighSurrogate(text[pos - 2]);
    return true;
}

template <typename Text> char32_t CodePointIn(const Text& text, int32_t pos) {
    const char16_t unit = text[pos];
    if (IsHighSurrogate(unit) && pos + 1 < Length(text) && IsLowSurrogate(text[pos + 1]))
        return CombineSurrogates(unit, text[pos + 1]);
    return unit;
}

template <typename Text> bool InsidePair(const Text& text, int32_t pos) {
    return pos > 0 && pos < Length(text) && IsLowSurrogate(text[pos]) &&
           IsHighSurrogate(text[pos - 1]);
}

template <typename Text> bool IsStop(const Text& text, int32_t pos) {
    if (pos <= 0 || pos >= Length(text))
        return true;
    const char16_t unit = text[pos];
    if (unit < kFirstWideOrMark)
        return !(unit == kLf && text[pos - 1] == kCr);
    if (InsidePair(text, pos))
        return false;
    return CellWidth(CodePointIn(text, pos)) != 0 || !CarriesMarks(text, pos);
}

template <typename Text> int32_t NextStop(const Text& text, int32_t pos) {
    if (pos >= Length(text))
        return Length(text);
    int32_t next = std::max(pos, 0) + 1;
    while (!IsStop(text, next))
        ++next;
    return next;
}

template <typename Text> int32_t PrevStop(const Text& text, int32_t pos) {
    int32_t previous = std::min(pos, Length(text)) - 1;
    if (previous <= 0)
        return 0;
    while (!IsStop(text, previous))
        --previous;
    return previous;
}

template <typename Text> int32_t StopAtOrBefore(const Text& text, int32_t pos) {
    pos = std::clamp(pos, 0, Length(text));
    return IsStop(text, pos) ? pos : PrevStop(text, pos);
}

} // namespace

int CellWidth(char32_t c) {
    if (c < kFirstWideOrMark)
        return 1;
    if (c >= 0x110000)
        return 1;
    const uint8_t packed = kCellWidthBlocks[kCellWidthBlockOf[c >> 8]][(c & 0xFF) >> 2];
    switch ((packed >> ((c & 3) * 2)) & 3) {
    case 1:
        return 0;
    case 2:
        return 2;
    default:
        return 1;
    }
}

const char* CellWidthUnicodeVersion() {
    return kCellWidthUnicodeVersion;
}

bool IsCharStop(std::u16string_view text, int32_t pos) {
    return IsStop(text, pos);
}
bool IsCharStop(const TextBuffer& text, int32_t pos) {
    return IsStop(text, pos);
}

bool InsideSurrogatePair(std::u16string_view text, int32_t pos) {
    return InsidePair(text, pos);
}
bool InsideSurrogatePair(const TextBuffer& text, int32_t pos) {
    return InsidePair(text, pos);
}

int32_t NextCharStop(std::u16string_view text, int32_t pos) {
    return NextStop(text, pos);
}
int32_t NextCharStop(const TextBuffer& text, int32_t pos) {
    return NextStop(text, pos);
}

int32_t PrevCharStop(std::u16string_view text, int32_t pos) {
    return PrevStop(text, pos);
}
int32_t PrevCharStop(const TextBuffer& text, int32_t pos) {
    return PrevStop(text, pos);
}

int32_t CharStopAtOrBefore(std::u16string_view text, int32_t pos) {
    return StopAtOrBefore(text, pos);
}
int32_t CharStopAtOrBefore(const TextBuffer& text, int32_t pos) {
    return StopAtOrBefore(text, pos);
}

char32_t CodePointAt(std::u16string_view text, int32_t pos) {
    return CodePointIn(text, pos);
}

int CharacterCells(std::u16string_view text, int32_t pos) {
    if (text[pos] < kFirstWideOrMark)
        return 1;
    return std::max(CellWidth(CodePointAt(text, pos)), 1);
}

bool IsRightToLeft(char32_t c) {
    if (c < 0x590)
        return false;
    return c <= 0x8FF || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
           (c >= 0x1E800 && c <= 0x1EFFF);
}
