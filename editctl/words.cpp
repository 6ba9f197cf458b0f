#include "editctl/words.h"

#include "editctl/characters.h"
#include "editctl/text_model.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

enum class CharClass { Blank, Word, Other };

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == kTab || unit == kCr || unit == kLf;
}

CharClass ClassOf(char16_t unit) {
    if (IsBlank(unit))
        return CharClass::Blank;
    return IsWordUnit(unit) ? CharClass::Word : CharClass::Other;
}

} // namespace

int32_t WordLeft(const TextModel& model, int32_t position) {
    if (position <= 0 || model.text.empty())
        return 0;
    const TextBuffer& t = model.text;
    int32_t i = PrevCharStop(t, position);
    while (i > 0 && IsBlank(t[i]))
        i = PrevCharStop(t, i);
    const CharClass run = ClassOf(t[i]) == CharClass::Word ? CharClass::Word : CharClass::Other;
    for (int32_t before = PrevCharStop(t, i); i > 0 && ClassOf(t[before]) == run;
         before = PrevCharStop(t, i))
        i = before;
    return i;
}

int32_t WordRight(const TextModel& model, int32_t position) {
    const TextBuffer& t = model.text;
    const int32_t length = TextLength(model);
    int32_t i = CharStopAtOrBefore(t, position);
    while (i < length && IsBlank(t[i]))
        i = CharacterAt(t, i).end;
    if (i == length)
        return length;
    const CharClass run = ClassOf(t[i]);
    while (i < length && ClassOf(t[i]) == run)
        i = CharacterAt(t, i).end;
    return i;
}

bool IsWordStart(const TextModel& model, int32_t position) {
    if (position <= 0 || position >= TextLength(model))
        return true;
    const TextBuffer& t = model.text;
    if (!IsCharStop(t, position))
        return false;
    const CharClass here = ClassOf(t[static_cast<size_t>(position)]);
    return here != CharClass::Blank &&
           ClassOf(t[static_cast<size_t>(PrevCharStop(t, position))]) != here;
}

int32_t NextWordStart(const TextModel& model, int32_t position) {
    const int32_t length = TextLength(model);
    int32_t i = std::clamp(position, 0, length);
    while (i < length && !IsWordStart(model, ++i)) {
    }
    return i;
}

void SelectWordAt(TextModel& model, int32_t position) {
    const LineLocation at = LocateLine(model, position);
    const LineInfo line = model.lines.empty() ? LineInfo{} : model.lines[at.line];
    const int32_t start = line.start;
    const int32_t end = line.start + line.length;
    if (line.length == 0) {
        model.anchor = model.caret = end;
        return;
    }
    const TextBuffer& t = model.text;
    int32_t i = std::clamp(CharStopAtOrBefore(t, position), start, end);
    if (i == end)
        i = PrevCharStop(t, end);
    const CharClass run = ClassOf(t[i]);
    int32_t j = i;
    while (j > start && ClassOf(t[PrevCharStop(t, j)]) == run)
        j = PrevCharStop(t, j);
    while (i < end && ClassOf(t[i]) == run)
        i = CharacterAt(t, i).end;
    model.anchor = j;
    model.caret = i;
}
