#include "editctl/commands.h"

#include "editctl/characters.h"
#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"

#include <algorithm>
#include <utility>

void AttachWindow(EditState& s, void* window, int32_t clientWidth, int32_t clientHeight) {
    s.window = window;
    s.clientWidth = clientWidth;
    s.clientHeight = clientHeight;
    s.currentLine = 0;
    Relayout(s);
    UpdateScrollBars(s);
}

void SetClientSize(EditState& s, int32_t clientWidth, int32_t clientHeight) {
    // Rewrapping may move the caret's row: a caret the user saw stays in view.
    const bool caretShown = CaretInView(s);
    s.clientWidth = clientWidth;
    s.clientHeight = clientHeight;
    Refresh(s);
    if (caretShown)
        EnsureCaretVisible(s);
}

namespace {

// Puts `fresh` in place of the text and starts the record afresh; `fresh`
// gets the old text. Laid out before anything else changes: when memory
// runs out, the old text comes back and is laid out again in the memory it
// had.
void TakeText(EditState& s, TextBuffer& fresh) {
    s.text.swap(fresh);
    try {
        Relayout(s);
    } catch (...) {
        s.text.swap(fresh);
        Relayout(s);
        throw;
    }
    s.caret = s.anchor = 0;
    s.undoHistory.clear();
    s.redoHistory.clear();
    s.modified = false;
    s.currentLine = 0;
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
    if (s.observer)
        s.observer->TextReplaced(s);
}

} // namespace

void SetText(EditState& s, std::u16string_view text) {
    // The copy has a gap to spare, so that the first keystrokes in a large
    // document do not move the whole text to a bigger block.
    TextBuffer copy(text);
    TakeText(s, copy);
}

void AdoptText(EditState& s, std::u16string&& text) {
    TextBuffer adopted;
    adopted.assign(std::move(text));
    TakeText(s, adopted);
}

void ReloadText(EditState& s, std::u16string&& text) {
    const LineLocation at = LocateLine(s, s.caret);
    const bool caretShown = CaretInView(s);
    AdoptText(s, std::move(text));
    const LineInfo line = s.lines[std::min(at.line, s.lines.size() - 1)];
    s.caret = s.anchor = CharStopAtOrBefore(s.text, line.start + std::min(at.offset, line.length));
    TrackCurrentLine(s);
    // A caret the user had scrolled away from does not pull the view back.
    if (caretShown)
        EnsureCaretVisible(s);
    else
        PlaceCaret(s);
}

void SetSelection(EditState& s, int32_t anchor, int32_t caret) {
    s.anchor = CharStopAtOrBefore(s.text, anchor);
    s.caret = CharStopAtOrBefore(s.text, caret);
    FinishCaretMove(s);
}

LineColumn CaretLineColumn(const EditState& s) {
    const LineLocation at = LocateLine(s, s.caret);
    return {at.line + 1, at.offset + 1};
}

CharAtCaret CharacterAtCaret(const EditState& s) {
    if (s.caret < 0 || s.caret >= TextLength(s))
        return {};
    return {s.text[static_cast<size_t>(s.caret)], s.caret};
}

void SetWordWrap(EditState& s, bool on) {
    s.wordWrap = on;
    Refresh(s);
}

void SetShowLineNumbers(EditState& s, bool on) {
    s.showLineNumbers = on;
    Refresh(s);
}

void SetScrollSpeed(EditState& s, double speed) {
    s.scrollSpeed = speed > 0 ? speed : 0.1;
}

void SetFontMetrics(EditState& s, void* font, int32_t charWidth, int32_t lineHeight) {
    s.font = font;
    s.charWidth = std::max(charWidth, 1);
    s.lineHeight = std::max(lineHeight, 1);
    Refresh(s);
}
