#include "editctl/commands.h"

#include "editctl/characters.h"
#include "editctl/change_flow.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"

#include <algorithm>
#include <utility>

void AttachWindow(EditState& s, WindowHandle window, int32_t clientWidth, int32_t clientHeight) {
    s.attached.window = window;
    s.view.clientWidth = clientWidth;
    s.view.clientHeight = clientHeight;
    s.view.currentLine = 0;
    Relayout(s);
    UpdateScrollBars(s);
}

void SetClientSize(EditState& s, int32_t clientWidth, int32_t clientHeight) {
    // Rewrapping may move the caret's row: a caret the user saw stays in view.
    const bool caretShown = CaretInView(s);
    s.view.clientWidth = clientWidth;
    s.view.clientHeight = clientHeight;
    Refresh(s);
    if (caretShown)
        EnsureCaretVisible(s);
}

namespace {

// What follows a new text: no history, not modified, the view clamped to it
// and drawn again, the observer told.
void StartAfresh(EditState& s) {
    s.history.undoHistory.clear();
    s.history.redoHistory.clear();
    s.history.modified = false;
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
    if (s.history.observer)
        s.history.observer->TextReplaced(s);
}

// Puts `fresh` in place of the text and starts the record afresh; `fresh`
// gets the old text. Laid out before anything else changes: when memory
// runs out, the old text comes back and is laid out again in the memory it
// had.
void TakeText(EditState& s, TextBuffer& fresh) {
    s.view.gutterLines = 0;
    s.model.text.swap(fresh);
    try {
        Relayout(s);
    } catch (...) {
        s.model.text.swap(fresh);
        Relayout(s);
        throw;
    }
    s.model.caret = s.model.anchor = 0;
    s.view.currentLine = 0;
    StartAfresh(s);
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

namespace {

// Takes the file's new text by `adopt`, keeping the caret on its line.
template <typename Adopt> void Reload(EditState& s, Adopt&& adopt) {
    const LineLocation at = LocateLine(s.model, s.model.caret);
    const bool caretShown = CaretInView(s);
    adopt();
    const LineInfo line = s.model.lines[std::min(at.line, s.model.lines.size() - 1)];
    s.model.caret = s.model.anchor =
        CharStopAtOrBefore(s.model.text, line.start + std::min(at.offset, line.length));
    TrackCurrentLine(s);
    // A caret the user had scrolled away from does not pull the view back.
    if (caretShown)
        EnsureCaretVisible(s);
    else
        PlaceCaret(s);
}

} // namespace

void ReloadText(EditState& s, std::u16string&& text) {
    Reload(s, [&] { AdoptText(s, std::move(text)); });
}

void ReloadPrepared(EditState& s, PreparedText&& prepared) {
    Reload(s, [&] { AdoptPrepared(s, std::move(prepared)); });
}

void PrepareText(PreparedText& prepared, std::u16string&& units, LinesAhead& ahead) {
    ahead.finish(std::move(units), prepared.text, prepared.lines);
}

void AdoptPrepared(EditState& s, PreparedText&& prepared) {
    s.view.gutterLines = 0;
    s.model.text.swap(prepared.text);
    std::swap(s.model.lines, prepared.lines);
    try {
        RelayoutView(s);
    } catch (...) {
        s.model.text.swap(prepared.text);
        std::swap(s.model.lines, prepared.lines);
        RelayoutView(s);
        throw;
    }
    s.model.anchor = CharStopAtOrBefore(s.model.text, s.model.anchor);
    s.model.caret = CharStopAtOrBefore(s.model.text, s.model.caret);
    TrackCurrentLine(s);
    StartAfresh(s);
}

void SetSelection(EditState& s, int32_t anchor, int32_t caret) {
    s.model.anchor = CharStopAtOrBefore(s.model.text, anchor);
    s.model.caret = CharStopAtOrBefore(s.model.text, caret);
    FollowChange(s, SelectionMoved());
}

LineColumn CaretLineColumn(const EditState& s) {
    const LineLocation at = LocateLine(s.model, s.model.caret);
    return {at.line + 1, at.offset + 1};
}

CharAtCaret CharacterAtCaret(const EditState& s) {
    if (s.model.caret < 0 || s.model.caret >= TextLength(s.model))
        return {};
    return {s.model.text[static_cast<size_t>(s.model.caret)], s.model.caret};
}

void SetWordWrap(EditState& s, bool on) {
    s.view.wordWrap = on;
    Refresh(s);
}

void SetGutterLines(EditState& s, int32_t lines) {
    s.view.gutterLines = lines;
    Refresh(s);
}

void SetShowLineNumbers(EditState& s, bool on) {
    s.view.showLineNumbers = on;
    Refresh(s);
}

void SetScrollSpeed(EditState& s, double speed) {
    s.view.scrollSpeed = speed > 0 ? speed : 0.1;
}

void SetFontMetrics(EditState& s, FontHandle font, int32_t charWidth, int32_t lineHeight) {
    s.attached.font = font;
    s.view.charWidth = std::max(charWidth, 1);
    s.view.lineHeight = std::max(lineHeight, 1);
    Refresh(s);
}
