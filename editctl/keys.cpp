#include "editctl/keys.h"

#include "editctl/characters.h"
#include "editctl/editing.h"
#include "editctl/change_flow.h"
#include "editctl/text_model.h"
#include "editctl/words.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

// Moves the caret; without Shift the selection collapses onto it.
void Extend(EditState& s, int32_t position, bool shift) {
    s.model.caret = position;
    if (!shift)
        s.model.anchor = position;
}

void MoveLeft(EditState& s, bool shift, bool ctrl) {
    if (!shift && s.model.anchor != s.model.caret)
        s.model.caret = s.model.anchor = SelectionLow(s.model);
    else if (ctrl)
        Extend(s, WordLeft(s.model, s.model.caret), shift);
    else if (s.model.caret > 0)
        Extend(s, PrevCharStop(s.model.text, s.model.caret), shift);
}

void MoveRight(EditState& s, bool shift, bool ctrl) {
    if (!shift && s.model.anchor != s.model.caret)
        s.model.caret = s.model.anchor = SelectionHigh(s.model);
    else if (ctrl)
        Extend(s, WordRight(s.model, s.model.caret), shift);
    else if (s.model.caret < TextLength(s.model))
        Extend(s, NextCharStop(s.model.text, s.model.caret), shift);
}

// Up and Down keep the code-unit offset, cut to the target line's length
// and to the start of the character it falls inside.
void MoveVertically(EditState& s, int32_t direction, bool shift) {
    const LineLocation at = LocateLine(s.model, s.model.caret);
    const int32_t target = at.line + direction;
    if (s.model.lines.empty() || target < 0 || target >= s.model.lines.size()) {
        Extend(s, s.model.caret, shift);
        return;
    }
    const LineInfo line = s.model.lines[target];
    Extend(s, CharStopAtOrBefore(s.model.text, line.start + std::min(at.offset, line.length)),
           shift);
}

void MoveHome(EditState& s, bool shift, bool ctrl) {
    const LineInfo line =
        s.model.lines.empty() ? LineInfo{} : s.model.lines[LocateLine(s.model, s.model.caret).line];
    Extend(s, ctrl ? 0 : line.start, shift);
}

void MoveEnd(EditState& s, bool shift, bool ctrl) {
    const LineInfo line =
        s.model.lines.empty() ? LineInfo{} : s.model.lines[LocateLine(s.model, s.model.caret).line];
    Extend(s, ctrl ? TextLength(s.model) : line.start + line.length, shift);
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
        FollowChange(s, SelectionMoved());
        return ClipboardAction::None;
    }
    return ctrl ? HandleControlLetter(s, key, shift) : ClipboardAction::None;
}

void SelectAll(EditState& s) {
    s.model.anchor = 0;
    s.model.caret = TextLength(s.model);
    FollowChange(s, SelectionMoved(false)); // placed: the next key acts at the selection's end
}

void TypeCharMessage(EditState& s, char16_t unit) {
    const char16_t high = s.input.pendingHighSurrogate;
    s.input.pendingHighSurrogate = 0;
    if (IsHighSurrogate(unit)) {
        s.input.pendingHighSurrogate = unit;
    } else if (IsLowSurrogate(unit)) {
        if (high) {
            const char16_t pair[] = {high, unit};
            ReplaceSelection(s, std::u16string_view(pair, 2));
        }
    } else {
        TypeCharacter(s, unit);
    }
}
