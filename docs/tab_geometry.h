// Where a tab item's close glyph and caption go. Shared by the painting and
// the hit-testing of the tab strip, so the "X" is clicked where it is drawn.
#pragma once

#include "winkit/box.h"

// A square of 10..16 pixels (item height - 10), 8 pixels in from the right
// edge and centred vertically.
Box CloseGlyphRect(const Box& item);

// The caption's room: from 10 pixels in to 6 pixels before the glyph, never
// of negative width.
Box TabCaptionRect(const Box& item, const Box& glyph);
