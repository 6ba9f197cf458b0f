// The state side of the control's interface functions and of its creation
// and sizing. Positions are clamped, never rejected.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/lines_ahead.h"

#include <cstdint>
#include <string>
#include <string_view>

// Binds a new record to its window and lays it out for the first time.
void AttachWindow(EditState& s, WindowHandle window, int32_t clientWidth, int32_t clientHeight);
// Follows a change of the client size.
void SetClientSize(EditState& s, int32_t clientWidth, int32_t clientHeight);

// Replaces the whole text: caret and anchor at 0, no history, not modified.
// The scroll offsets are only clamped to the new content. Sends nothing.
// Out of memory, throws with the old text and everything else as it was.
void SetText(EditState& s, std::u16string_view text);
// SetText for new bytes of the same file: the caret stays on its logical
// line (the last one when the text got shorter) at its column or the line's
// end, and the view stays where it was as far as the new text reaches.
void ReloadText(EditState& s, std::u16string&& text);
// SetText without a copy: the record takes the string, its spare capacity
// included, as the room later edits grow into.
void AdoptText(EditState& s, std::u16string&& text);
// Clamps each end to the text and moves it to the start of a character it
// falls inside; the caret may lie before the anchor.
void SetSelection(EditState& s, int32_t anchor, int32_t caret);

struct LineColumn {
    int32_t line = 1;   // 1-based logical line
    int32_t column = 1; // 1-based, in code units: a tab counts one, wrapping does not restart it
};
LineColumn CaretLineColumn(const EditState& s);

struct CharAtCaret {
    char16_t unit = 0;
    int32_t index = -1; // -1 when the caret is at the end of the text
};
CharAtCaret CharacterAtCaret(const EditState& s);

void SetWordWrap(EditState& s, bool on);
void SetShowLineNumbers(EditState& s, bool on);
// Makes the gutter wide enough for at least `lines` lines until the next text.
void SetGutterLines(EditState& s, int32_t lines);
// Speeds of 0 or below (and NaN) are stored as 0.1.
void SetScrollSpeed(EditState& s, double speed);
// Takes the font's cell size; sizes below 1 pixel count as 1. The font is not owned.
void SetFontMetrics(EditState& s, FontHandle font, int32_t charWidth, int32_t lineHeight);

// A loaded text made ready away from the window's thread: its blocks, and
// its lines measured by the metrics the view had when the load began.
struct PreparedText {
    TextBuffer text;
    LineTable lines;
};
// Takes the units and the lines `ahead` measured of them while they were
// decoded, and measures the rest. Out of memory, throws.
void PrepareText(PreparedText& prepared, std::u16string&& units, LinesAhead& ahead);
// Puts a prepared text in place of the text it was loaded to replace, the
// start of the same file: the selection and the view stay where they were
// (clamped to the new text), lines measured again only where the view
// changed meanwhile; no history, not modified. Out of memory, throws with
// the old text as it was.
void AdoptPrepared(EditState& s, PreparedText&& prepared);
// ReloadText for a text prepared away from the window's thread.
void ReloadPrepared(EditState& s, PreparedText&& prepared);
