#include "editctl/cells.h"

#include "editctl/characters.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

// A unit of one cell that is a character by itself: most of a line, which
// walks step over without asking the character rules.
bool IsLonePlainUnit(std::u16string_view line, int32_t at) {
    const auto next = static_cast<size_t>(at) + 1;
    return line[static_cast<size_t>(at)] < kFirstWideOrMark &&
           line[static_cast<size_t>(at)] != kTab && line[static_cast<size_t>(at)] != kCr &&
           (next == line.size() || line[next] < kFirstWideOrMark);
}

} // namespace

CellSpan PlaceCharacter(std::u16string_view line, int32_t offset, int64_t column,
                        const CellRules& rules) {
    const bool tab = line[offset] == kTab;
    const CharacterExtent character =
        tab ? CharacterExtent{offset + 1, 0} : CharacterAt(line, offset);
    int64_t cells = tab ? rules.tabWidth - column % rules.tabWidth : character.cells;
    if (rules.perRow <= 0)
        return {column, column + cells, character.end};
    const int64_t room = rules.perRow - column % rules.perRow;
    if (cells > room) {
        if (tab)
            cells = room;
        else if (room < rules.perRow)
            column += room; // to the next row's start
        cells = std::min(cells, rules.perRow);
    }
    return {column, column + cells, character.end};
}

int64_t ColumnOfOffset(std::u16string_view line, int32_t offset, const CellRules& rules,
                       CellStop from) {
    const int32_t length = static_cast<int32_t>(line.size());
    offset = std::clamp(offset, 0, length);
    int64_t column = from.column;
    for (int32_t at = from.offset; at < length;) {
        if (at < offset && IsLonePlainUnit(line, at)) {
            ++column;
            ++at;
            continue;
        }
        const CellSpan span = PlaceCharacter(line, at, column, rules);
        if (span.after > offset)
            return span.first;
        column = span.end;
        at = span.after;
    }
    return column;
}

CellStop StopOfColumn(std::u16string_view line, int64_t column, const CellRules& rules,
                      CellStop from) {
    const int32_t length = static_cast<int32_t>(line.size());
    int64_t end = from.column;
    for (int32_t at = from.offset; at < length;) {
        const int64_t before = end;
        const CellSpan span = PlaceCharacter(line, at, end, rules);
        end = span.end;
        if (end > column)
            return {at, before};
        at = span.after;
    }
    return {length, end};
}
