#include "editctl/editing.h"

#include "editctl/characters.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr char16_t kTab = 9;
constexpr char16_t kCr = 13;

int32_t StopAtOrAfter(const std::u16string& text, int32_t pos) {
    return IsCharStop(text, pos) ? pos : NextCharStop(text, pos);
}

// Text put beside a combining mark joins it into one character: the
// selection's ends move out to the characters' edges, the caret alone past
// the character it ended in.
void KeepEndsBetweenCharacters(EditState& s) {
    if (s.anchor == s.caret) {
        s.anchor = s.caret = StopAtOrAfter(s.text, s.caret);
        return;
    }
    int32_t& low = s.anchor < s.caret ? s.anchor : s.caret;
    int32_t& high = s.anchor < s.caret ? s.caret : s.anchor;
    low = CharStopAtOrBefore(s.text, low);
    high = StopAtOrAfter(s.text, high);
}

// Relayout and everything after it that edits, undo and redo share.
void FinishTextChange(EditState& s, const TextChange& change) {
    KeepEndsBetweenCharacters(s);
    RelayoutChange(s, change);
    TrackCurrentLine(s);
    EnsureCaretVisible(s);
    InvalidateClient(s);
    NotifyParent(s, EditNotify::Change);
}

// The primitives, noting what they changed for the relayout.
void Erase(EditState& s, int32_t position, int32_t count, TextChange& change) {
    EraseText(s, position, count);
    change.add(position, count, 0);
}
void Insert(EditState& s, int32_t position, std::u16string_view inserted, TextChange& change) {
    InsertText(s, position, inserted);
    change.add(position, 0, static_cast<int32_t>(inserted.size()));
}

// Removes text as one Delete record.
void Remove(EditState& s, int32_t position, int32_t count, TextChange& change) {
    s.undoHistory.push_back({UndoKind::Delete, position, s.text.substr(position, count)});
    Erase(s, position, count, change);
}

void RemoveSelection(EditState& s, TextChange& change) {
    const int32_t low = SelectionLow(s);
    Remove(s, low, SelectionHigh(s) - low, change);
    s.caret = s.anchor = low;
}

// Applies one record in reverse and flips its kind.
void RevertRecord(EditState& s, UndoRecord& record, TextChange& change) {
    const int32_t length = static_cast<int32_t>(record.text.size());
    if (record.kind == UndoKind::Insert) {
        Erase(s, record.position, length, change);
        s.caret = s.anchor = record.position;
        record.kind = UndoKind::Delete;
    } else {
        Insert(s, record.position, record.text, change);
        s.caret = s.anchor = record.position + length;
        record.kind = UndoKind::Insert;
    }
}

// Applies the newest step of `from` in reverse and moves its records to `to`.
// A step's records arrive there in reverse order, so the joins are redrawn:
// the first one moved is the step's bottom record.
void Revert(EditState& s, std::vector<UndoRecord>& from, std::vector<UndoRecord>& to) {
    if (from.empty())
        return;
    TextChange change;
    bool bottom = true;
    bool more = true;
    while (more && !from.empty()) {
        UndoRecord record = std::move(from.back());
        from.pop_back();
        more = record.joined;
        RevertRecord(s, record, change);
        record.joined = !bottom;
        bottom = false;
        to.push_back(std::move(record));
    }
    FinishTextChange(s, change);
}

} // namespace

void DeleteAtCaret(EditState& s, bool forward) {
    const std::u16string& t = s.text;
    const int32_t length = TextLength(s);
    TextChange change;
    if (s.anchor != s.caret) {
        RemoveSelection(s, change);
    } else if (forward && s.caret < length) {
        Remove(s, s.caret, NextCharStop(t, s.caret) - s.caret, change);
    } else if (!forward && s.caret > 0) {
        const int32_t at = PrevCharStop(t, s.caret);
        Remove(s, at, s.caret - at, change);
        s.caret = s.anchor = at;
    }
    FinishEdit(s, change);
}

void ReplaceSelection(EditState& s, std::u16string_view inserted) {
    TextChange change;
    if (s.anchor != s.caret)
        RemoveSelection(s, change);
    if (!inserted.empty()) {
        const int32_t at = s.caret;
        s.undoHistory.push_back({UndoKind::Insert, at, std::u16string(inserted)});
        Insert(s, at, inserted, change);
        s.caret = s.anchor = at + static_cast<int32_t>(inserted.size());
    }
    FinishEdit(s, change);
}

void ReplaceRange(EditState& s, int32_t start, int32_t end, std::u16string inserted) {
    start = std::clamp(start, 0, TextLength(s));
    end = std::clamp(end, start, TextLength(s));
    // A pair cut in two would leave a lone surrogate: take it whole.
    if (InsideSurrogatePair(s.text, start))
        --start;
    if (InsideSurrogatePair(s.text, end))
        ++end;
    const bool removes = end > start;
    TextChange change;
    if (removes)
        Remove(s, start, end - start, change);
    const int32_t length = static_cast<int32_t>(inserted.size());
    if (length > 0) {
        s.undoHistory.push_back({UndoKind::Insert, start, std::move(inserted), removes});
        Insert(s, start, s.undoHistory.back().text, change);
    }
    s.anchor = start;
    s.caret = start + length;
    FinishEdit(s, change);
}

void DeleteSelection(EditState& s) {
    if (s.anchor != s.caret)
        DeleteAtCaret(s, true);
}

void FinishEdit(EditState& s, const TextChange& change) {
    s.redoHistory.clear();
    s.modified = true;
    FinishTextChange(s, change);
}

void Undo(EditState& s) {
    Revert(s, s.undoHistory, s.redoHistory);
}

void Redo(EditState& s) {
    Revert(s, s.redoHistory, s.undoHistory);
}

void TypeCharacter(EditState& s, char16_t unit) {
    if (unit == kTab) {
        if (s.insertSpaces)
            ReplaceSelection(s, std::u16string(static_cast<size_t>(TabStop(s)), u' '));
        else
            ReplaceSelection(s, u"\t");
    } else if (unit == kCr) {
        ReplaceSelection(s, u"\r\n");
    } else if (unit >= 32) {
        ReplaceSelection(s, std::u16string_view(&unit, 1));
    }
}
