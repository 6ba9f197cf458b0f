// Visual rows as positions: where each row of a logical line starts, which
// row holds a position, and which rows meet the client area. Rows are cut
// exactly where the paint code cuts them, so a row read aloud is the row drawn.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>

// Units [start, end) of one row of a line, counted from the line's start.
struct RowUnits {
    int32_t start = 0;
    int32_t end = 0;
};
// Row `row` (< the line's rows) of `line` as painting draws it: a character
// belongs to the row holding its first cell, and no character crosses a
// row's end (cells.h). Painting and automation both cut rows here. A caller
// walking down a line passes the end of the row above as `knownStart`,
// saving the lookup of the row's start.
RowUnits CutLineRow(const EditState& s, int32_t line, int64_t row, int32_t knownStart = -1);

// One visual row: units [start, end) of the text, its line break left out.
struct VisualRow {
    int32_t line = 0;
    int32_t row = 0; // within its line
    int32_t start = 0;
    int32_t end = 0;
    int64_t index = 0; // counted from the first row of the text
};

// The row holding `position` (clamped to the text). A position at the exact
// end of a full row belongs to the next row, where the caret shows.
VisualRow RowOfPosition(const EditState& s, int32_t position);
// Row `row` of logical line `line`, both clamped to what there is.
VisualRow RowOfLine(const EditState& s, int32_t line, int32_t row);
// Row `index` counted from the top of the text, clamped to the rows there are.
VisualRow RowAtIndex(const EditState& s, int64_t index);

// Rows [first, first + count) meet the client area, partly or wholly.
struct RowWindow {
    int64_t first = 0;
    int64_t count = 0;
};
RowWindow VisibleRows(const EditState& s);
