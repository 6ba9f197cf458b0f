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

void SetText(EditState& s, std::u16string_view text) {
    // Spare room, so that the first keystrokes in a large document do not
    // move the whole text to a bigger block.
    std::u16string copy;
    copy.reserve(text.size() + text.size() / 16 + 64);
    copy.append(text);
    AdoptText(s, std::move(copy));
}

void AdoptText(EditState& s, std::u16string&& text) {
    // Laid out before anything else changes: when memory runs out, the old
    // text comes back and is laid out again in the memory it had.
    s.text.swap(text);
    try {
        Relayout(s);
    } catch (...) {
        s.text.swap(text);
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
