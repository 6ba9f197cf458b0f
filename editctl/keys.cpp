#include "editctl/keys.h"

#include "editctl/characters.h"
#include "editctl/editing.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"
#include "editctl/words.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

// Moves the caret; without Shift the selection collapses onto it.
void Extend(EditState& s, int32_t position, bool shift) {
    s.caret = position;
    if (!shift)
        s.anchor = position;
}

void MoveLeft(EditState& s, bool shift, bool ctrl) {
    if (!shift && s.anchor != s.caret)
        s.caret = s.anchor = SelectionLow(s);
    else if (ctrl)
        Extend(s, WordLeft(s, s.caret), shift);
    else if (s.caret > 0)
        Extend(s, PrevCharStop(s.text, s.caret), shift);
}

void MoveRight(EditState& s, bool shift, bool ctrl) {
    if (!shift && s.anchor != s.caret)
        s.caret = s.anchor = SelectionHigh(s);
    else if (ctrl)
        Extend(s, WordRight(s, s.caret), shift);
    else if (s.caret < TextLength(s))
        Extend(s, NextCharStop(s.text, s.caret), shift);
}

// Up and Down keep the code-unit offset, cut to the target line's length
// and to the start of the character it falls inside.
void MoveVertically(EditState& s, int32_t direction, bool shift) {
    const LineLocation at = LocateLine(s, s.caret);
    const int32_t target = at.line + direction;
    if (s.lines.empty() || target < 0 || target >= s.lines.size()) {
        Extend(s, s.caret, shift);
        return;
    }
    const LineInfo line = s.lines[target];
    Extend(s, CharStopAtOrBefore(s.text, line.start + std::min(at.offset, line.length)), shift);
}

void MoveHome(EditState& s, bool shift, bool ctrl) {
    const LineInfo line = s.lines.empty() ? LineInfo{} : s.lines[LocateLine(s, s.caret).line];
    Extend(s, ctrl ? 0 : line.start, shift);
}

void MoveEnd(EditState& s, bool shift, bool ctrl) {
    const LineInfo line = s.lines.empty() ? LineInfo{} : s.lines[LocateLine(s, s.caret).line];
    Extend(s, ctrl ? TextLength(s) : line.start + line.length, shift);
}

bool MoveCaret(EditState& s, EditKey key, bool shift, bool ctrl) {
    switch (key) {
    case EditKey::Left:
        MoveLeft(s, shift, ctrl);
        return true;
    case EditKey::Right:
        MoveRight(s, shift, ctrl);
        return true;
    case EditKey::Up:
        MoveVertically(s, -1, shift);
        return true;
    case EditKey::Down:
        MoveVertically(s, 1, shift);
        return true;
    case EditKey::Home:
        MoveHome(s, shift, ctrl);
        return true;
    case EditKey::End:
        MoveEnd(s, shift, ctrl);
        return true;
    default:
        return false;
    }
}

ClipboardAction HandleControlLetter(EditState& s, EditKey key, bool shift) {
    switch (key) {
    case EditKey::A:
        SelectAll(s);
        break;
    case EditKey::C:
        return ClipboardAction::Copy;
    case EditKey::X:
        return ClipboardAction::Cut;
    case EditKey::V:
        return ClipboardAction::Paste;
    case EditKey::Y:
        Redo(s);
        break;
    case EditKey::Z:
        if (shift)
            Redo(s);
        else
            Undo(s);
        break;
    default:
        break;
    }
    return ClipboardAction::None;
}

} // namespace

ClipboardAction HandleKeyDown(EditState& s, EditKey key, bool shift, bool ctrl) {
    if (key == EditKey::Backspace || key == EditKey::Delete) {
        DeleteAtCaret(s, key == EditKey::Delete);
        return ClipboardAction::None;
    }
    if (MoveCaret(s, key, shift, ctrl)) {
        FinishCaretMove(s);
        return ClipboardAction::None;
    }
    return ctrl ? HandleControlLetter(s, key, shift) : ClipboardAction::None;
}

void FinishCaretMove(EditState& s) {
    TrackCurrentLine(s);
    EnsureCaretVisible(s);
    InvalidateClient(s);
    NotifyParent(s, EditNotify::SelChange);
}

void SelectAll(EditState& s) {
    s.anchor = 0;
    s.caret = TextLength(s);
    TrackCurrentLine(s);
    PlaceCaret(s); // the next key acts at the selection's end
    InvalidateClient(s);
    NotifyParent(s, EditNotify::SelChange);
}

void TypeCharMessage(EditState& s, char16_t unit) {
    const char16_t high = s.pendingHighSurrogate;
    s.pendingHighSurrogate = 0;
    if (IsHighSurrogate(unit)) {
        s.pendingHighSurrogate = unit;
    } else if (IsLowSurrogate(unit)) {
        if (high) {
            const char16_t pair[] = {high, unit};
            ReplaceSelection(s, std::u16string_view(pair, 2));
        }
    } else {
        TypeCharacter(s, unit);
    }
}
