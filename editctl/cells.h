// Where the characters of one line fall on the cell grid. A tab reaches the
// next tab stop; other characters take their cells (characters.h). While
// wrapping, no character crosses the end of a row: a 2-cell character that
// would moves whole to the next row and leaves the last cell empty, and a
// tab ends at the row's end. Lines are views of their own units, breaks
// excluded; offsets are clamped to them.
#pragma once

#include <cstdint>
#include <string_view>

struct CellRules {
    int64_t tabWidth = 4; // at least 1
    int64_t perRow = 0;   // cells per row while wrapping; 0 without wrapping
};

// The cells [first, end) of one character; `first` lies past any cell left
// empty before it. The character's units end at `after`.
struct CellSpan {
    int64_t first = 0;
    int64_t end = 0;
    int32_t after = 0;
};

// The character at `offset` (a stop) when the cells before it end at `column`.
CellSpan PlaceCharacter(std::u16string_view line, int32_t offset, int64_t column,
                        const CellRules& rules);
// Where a walk along a line may start or stop: a character's start and the
// column where the cells before it end.
struct CellStop {
    int32_t offset = 0;
    int64_t column = 0;
};

// The first cell of the character holding `offset`; at the line's end, the
// cells of the whole line. The walk starts at `from`, a stop at or before
// that character.
int64_t ColumnOfOffset(std::u16string_view line, int32_t offset, const CellRules& rules,
                       CellStop from = {});
// The start of the character whose cells reach beyond `column` (an empty
// cell belongs to the character after it), with the column where the cells
// before it end; the line's end when none does. The walk starts at `from`,
// whose column must not lie beyond `column`.
CellStop StopOfColumn(std::u16string_view line, int64_t column, const CellRules& rules,
                      CellStop from = {});
inline int32_t OffsetOfColumn(std::u16string_view line, int64_t column, const CellRules& rules,
                              CellStop from = {}) {
    return StopOfColumn(line, column, rules, from).offset;
}
