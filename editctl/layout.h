// Layout on the fixed cell grid: lines and rows, conversions
// between positions, columns and client pixels, scrolling and the caret's
// cell. Operations that concern the window record what it must do in
// `s.effects`; without a window (s.attached.window null) they do nothing.
#pragma once

#include "editctl/cells.h"
#include "editctl/edit_state.h"
#include "editctl/model_change.h"
#include "editctl/view_metrics.h"

#include <cstdint>

// The first cell of the character holding `offset` (clamped to the line),
// counted from the line's start over all its rows; at the line's end, its
// width. 0 for a line out of range.
int32_t VisualColumn(const EditState& s, int32_t line, int32_t offset);
// The start of the character covering `column`, or the line's length; 0 for a line out of range.
int32_t OffsetAtColumn(const EditState& s, int32_t line, int32_t column);
// The same start with the column where the cells before it end.
CellStop StopAtColumn(const EditState& s, int32_t line, int64_t column);

// Re-derives the line table, row tops, gutter width and keeps currentLine
// within the lines. Runs after every change of the view or size and when
// the whole text is replaced. The same text in another view needs no
// memory; a text with more lines may run out, and then the layout must be
// made again for the text it was made for, which needs none.
void Relayout(EditState& s);
// Relayout for a change of the view alone, the text unchanged: measures
// only the lines wrapping may change, with the same result.
void RelayoutView(EditState& s);
// Follows an edit, a move of the selection or nothing, as `change` records
// it: what the edit left of the lines' derived data, the highlighted line
// number, and the caret brought into view or only placed. Needs no memory.
void FollowLayout(EditState& s, const ModelChange& change);
void UpdateGutterWidth(EditState& s);

// One direction of scrolling: the content's length in pixels and how many
// of them the client shows.
struct ScrollAxis {
    int64_t extent = 0;
    int32_t page = 0;
};
ScrollAxis VerticalAxis(const EditState& s);
ScrollAxis HorizontalAxis(const EditState& s);

void ClampScroll(EditState& s);
// Records the scroll bars' state; while wrapping, hides the horizontal one and zeroes scrollX.
void UpdateScrollBars(EditState& s);
// Records the client point of the caret's cell.
void PlaceCaret(EditState& s);
// Whether the caret's row and cell lie inside the client area.
bool CaretInView(const EditState& s);
// Scrolls just far enough to show the caret's row and cell.
void EnsureCaretVisible(EditState& s);
// The position under a client point; 0 without lines.
int32_t HitTest(const EditState& s, int32_t x, int32_t y);

// Moves the highlighted line number to the caret's line, invalidating both cells.
void TrackCurrentLine(EditState& s);
void InvalidateGutterLine(EditState& s, int32_t line);

// After a change of the font, wrapping, line numbers or the size, the text
// unchanged: relayout, clamp the scroll, update the bars and caret, repaint.
void Refresh(EditState& s);
