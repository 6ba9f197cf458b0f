#include "editctl/cells.h"

#include "editctl/characters.h"
#include "fileio/text_units.h"

#include <algorithm>

CellSpan PlaceCharacter(std::u16string_view line, int32_t offset, int64_t column,
                        const CellRules& rules) {
    const bool tab = line[offset] == kTab;
    int64_t cells = tab ? rules.tabWidth - column % rules.tabWidth : CharacterCells(line, offset);
    if (rules.perRow <= 0)
        return {column, column + cells};
    const int64_t room = rules.perRow - column % rules.perRow;
    if (cells > room) {
        if (tab)
            cells = room;
        else if (room < rules.perRow)
            column += room; // to the next row's start
        cells = std::min(cells, rules.perRow);
    }
    return {column, column + cells};
}

int64_t ColumnOfOffset(std::u16string_view line, int32_t offset, const CellRules& rules,
                       CellStop from) {
    const int32_t length = static_cast<int32_t>(line.size());
    offset = std::clamp(offset, 0, length);
    int64_t column = from.column;
    for (int32_t at = from.offset; at < length;) {
        const CellSpan span = PlaceCharacter(line, at, column, rules);
        const int32_t next = NextCharStop(line, at);
        if (next > offset)
            return span.first;
        column = span.end;
        at = next;
    }
    return column;
}

CellStop StopOfColumn(std::u16string_view line, int64_t column, const CellRules& rules,
                      CellStop from) {
    const int32_t length = static_cast<int32_t>(line.size());
    int64_t end = from.column;
    for (int32_t at = from.offset; at < length; at = NextCharStop(line, at)) {
        const int64_t before = end;
        end = PlaceCharacter(line, at, end, rules).end;
        if (end > column)
            return {at, before};
    }
    return {length, end};
}
