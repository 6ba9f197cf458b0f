#include "editctl/words.h"

#include "editctl/text_model.h"

#include <algorithm>

namespace {

enum class CharClass { Blank, Word, Other };

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == 9 || unit == 13 || unit == 10;
}

CharClass ClassOf(char16_t unit) {
    if (IsBlank(unit))
        return CharClass::Blank;
    return IsWordChar(unit) ? CharClass::Word : CharClass::Other;
}

} // namespace

bool IsWordChar(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'a' && unit <= u'z') || unit == u'_';
}

int32_t WordLeft(const EditState& s, int32_t position) {
    if (position <= 0)
        return 0;
    const std::u16string& t = s.text;
    int32_t i = std::min(position, TextLength(s)) - 1;
    if (i < 0)
        return 0;
    while (i > 0 && IsBlank(t[i]))
        --i;
    const CharClass run = ClassOf(t[i]) == CharClass::Word ? CharClass::Word : CharClass::Other;
    while (i > 0 && ClassOf(t[i - 1]) == run)
        --i;
    return i;
}

int32_t WordRight(const EditState& s, int32_t position) {
    const std::u16string& t = s.text;
    const int32_t length = TextLength(s);
    int32_t i = std::clamp(position, 0, length);
    while (i < length && IsBlank(t[i]))
        ++i;
    if (i == length)
        return length;
    const CharClass run = ClassOf(t[i]);
    while (i < length && ClassOf(t[i]) == run)
        ++i;
    return i;
}

bool IsWordStart(const EditState& s, int32_t position) {
    if (position <= 0 || position >= TextLength(s))
        return true;
    const CharClass here = ClassOf(s.text[static_cast<size_t>(position)]);
    return here != CharClass::Blank && ClassOf(s.text[static_cast<size_t>(position) - 1]) != here;
}

int32_t NextWordStart(const EditState& s, int32_t position) {
    const int32_t length = TextLength(s);
    int32_t i = std::clamp(position, 0, length);
    while (i < length && !IsWordStart(s, ++i)) {
    }
    return i;
}

void SelectWordAt(EditState& s, int32_t position) {
    const LineLocation at = LocateLine(s, position);
    const LineInfo line = s.lines.empty() ? LineInfo{} : s.lines[at.line];
    const int32_t start = line.start;
    const int32_t end = line.start + line.length;
    if (line.length == 0) {
        s.anchor = s.caret = end;
        return;
    }
    int32_t i = std::clamp(std::clamp(position, 0, TextLength(s)), start, end);
    if (i == end)
        i = end - 1;
    const CharClass run = ClassOf(s.text[i]);
    int32_t j = i;
    while (j > start && ClassOf(s.text[j - 1]) == run)
        --j;
    while (i < end && ClassOf(s.text[i]) == run)
        ++i;
    s.anchor = j;
    s.caret = i;
}
