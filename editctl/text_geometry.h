// Spans of text on the screen: what the client area shows, where a span's
// cells are drawn, and scrolling a span into view.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/automation_text.h"

#include <vector>

// From the start of the first row that meets the client area to the end of
// the last one.
TextSpan VisibleSpan(const EditState& s);
// One client rectangle per visible row the span covers: the cells the paint
// code fills for those units, cut to the text area and the client's height.
// An empty span covers no cells and has none.
std::vector<PixelRect> SpanRowRects(const EditState& s, TextSpan span);
// The boundary between characters nearest a client point, on the row at
// its height (the first or last row beyond the text's ends): the right half
// of a character is nearer the boundary after it.
int32_t BoundaryNearestPoint(const EditState& s, int64_t x, int64_t y);
// Scrolls so the span's first row is at the top of the client area, or its
// last row at the bottom; without wrapping, also brings its start's column in.
void ScrollSpanIntoView(EditState& s, TextSpan span, bool alignToTop);
