// Text units as assistive technology walks them: characters as the caret
// steps, words by the control's word rules, visual rows, logical lines,
// screens of rows and the whole document. Spans are clamped to the text on
// every use.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/live_spans.h"

#include <cstdint>
#include <string_view>

// The values are the accessibility interface's own unit numbers.
enum class TextUnit : int32_t {
    Character = 0,
    Format = 1, // one format throughout: read as Word, the next larger unit
    Word = 2,
    Line = 3,      // a visual row
    Paragraph = 4, // a logical line
    Page = 5,      // the rows the client area shows, and screens above and below
    Document = 6,
};

// Both ends clamped to the text, the start not after the end.
TextSpan ClampSpan(const EditState& s, TextSpan span);

// 0 and the text's length are boundaries of every unit.
bool IsUnitBoundary(const EditState& s, int32_t position, TextUnit unit);
// The first boundary after `position`, or the length.
int32_t NextUnitBoundary(const EditState& s, int32_t position, TextUnit unit);
// The last boundary before `position`, or 0.
int32_t PreviousUnitBoundary(const EditState& s, int32_t position, TextUnit unit);

// Exactly one unit: the one starting at or before the span's start.
TextSpan ExpandToUnit(const EditState& s, TextSpan span, TextUnit unit);
// Moves a position across up to |count| boundaries, stopping at the text's
// ends; returns the signed number crossed.
int32_t MovePositionByUnit(const EditState& s, int32_t& position, TextUnit unit, int32_t count);
// An empty span moves as a point. Any other span moves from the start of its
// first unit by `count` units and then covers one unit; it never moves onto
// the end of the text, where no unit starts. Returns the units moved.
int32_t MoveSpanByUnit(const EditState& s, TextSpan& span, TextUnit unit, int32_t count);

// The first (or, backward, the last) occurrence of `pattern` inside the
// span; start -1 when none. Case folding covers A-Z only.
TextSpan FindInSpan(const EditState& s, TextSpan span, std::u16string_view pattern, bool backward,
                    bool ignoreCase);
