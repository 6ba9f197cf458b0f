#include "editctl/characters.h"

#include <algorithm>

namespace {

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The combining diacritical blocks: such a mark belongs to the unit before it.
bool IsCombiningMark(char16_t unit) {
    return (unit >= 0x0300 && unit <= 0x036F) || (unit >= 0x1AB0 && unit <= 0x1AFF) ||
           (unit >= 0x1DC0 && unit <= 0x1DFF) || (unit >= 0x20D0 && unit <= 0x20FF) ||
           (unit >= 0xFE20 && unit <= 0xFE2F);
}

int32_t Length(std::u16string_view text) {
    return static_cast<int32_t>(text.size());
}

} // namespace

bool IsCharStop(std::u16string_view text, int32_t pos) {
    if (pos <= 0 || pos >= Length(text))
        return true;
    const char16_t unit = text[static_cast<size_t>(pos)];
    if (IsLowSurrogate(unit) && IsHighSurrogate(text[static_cast<size_t>(pos) - 1]))
        return false;
    return !IsCombiningMark(unit);
}

int32_t NextCharStop(std::u16string_view text, int32_t pos) {
    int32_t next = std::clamp(pos, 0, Length(text));
    if (next < Length(text))
        ++next;
    while (!IsCharStop(text, next))
        ++next;
    return next;
}

int32_t PrevCharStop(std::u16string_view text, int32_t pos) {
    int32_t previous = std::clamp(pos, 0, Length(text));
    if (previous > 0)
        --previous;
    while (!IsCharStop(text, previous))
        --previous;
    return previous;
}

int CellWidth(char32_t) {
    return 1;
}
