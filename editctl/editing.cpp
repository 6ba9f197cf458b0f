#include "editctl/editing.h"

#include "editctl/characters.h"
#include "editctl/layout.h"
#include "editctl/replaced_matches.h"
#include "editctl/room.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr char16_t kTab = 9;

int32_t Length(const UndoRecord& record) {
    return static_cast<int32_t>(record.text.size());
}

// Carries out a record on the text as it was made (`forward`) or reversed,
// noting the change for the relayout.
void ApplyRecord(EditState& s, const UndoRecord& record, bool forward, TextChange& change) {
    if ((record.kind == UndoKind::Insert) == forward) {
        InsertText(s.model, record.position, record.text);
        change.add(record.position, 0, Length(record));
    } else {
        EraseText(s.model, record.position, Length(record));
        change.add(record.position, Length(record), 0);
    }
}

// Visits the records in order when `forward`, else from the last to the
// first, the order in which their reverses take them back.
template <typename Each>
void ForEachRecord(std::span<const UndoRecord> records, bool forward, Each each) {
    if (forward)
        std::for_each(records.begin(), records.end(), each);
    else
        std::for_each(records.rbegin(), records.rend(), each);
}

// The longest the text gets while the records are carried out.
int64_t PeakLength(const EditState& s, std::span<const UndoRecord> records, bool forward) {
    int64_t length = TextLength(s.model);
    int64_t peak = length;
    ForEachRecord(records, forward, [&](const UndoRecord& r) {
        const auto units = static_cast<int64_t>(r.text.size());
        length += (r.kind == UndoKind::Insert) == forward ? units : -units;
        peak = std::max(peak, length);
    });
    return peak;
}

// ChangeText for a Replace All record, which is a step of its own: the text
// is built anew and the old one kept until the relayout has succeeded.
bool ChangeMatches(EditState& s, const UndoRecord& record, bool forward) {
    const ReplacedMatches& m = *record.matches;
    const bool putInserted = (record.kind == UndoKind::Insert) == forward;
    if (RebuiltLength(s.model.text, m, putInserted) > s.model.maxLength) {
        s.effects.tooLong = true;
        return false;
    }
    std::u16string rebuilt = RebuiltText(s.model.text, m, putInserted);
    TextBuffer previous;
    previous.swap(s.model.text);
    s.model.text.assign(std::move(rebuilt));
    try {
        RelayoutChange(s, RebuiltChange(m, putInserted));
    } catch (...) {
        s.model.text.swap(previous);
        Relayout(s);
        throw;
    }
    if (s.history.observer)
        s.history.observer->TextChanged(s, {&record, 1}, forward);
    return true;
}

// Carries out records on the text and lays it out again, all or nothing.
// Returns false without changing anything when the text would grow beyond
// `maxLength`. Everything that needs memory happens before the text
// changes, except the relayout; when that runs out, the text goes back, is
// laid out again in the memory the layout had, and the failure passes on.
bool ChangeText(EditState& s, std::span<const UndoRecord> records, bool forward) {
    if (records.size() == 1 && records.front().matches)
        return ChangeMatches(s, records.front(), forward);
    const int64_t peak = PeakLength(s, records, forward);
    if (peak > s.model.maxLength) {
        s.effects.tooLong = true;
        return false;
    }
    s.model.text.reserve(static_cast<size_t>(peak));
    TextChange change;
    ForEachRecord(records, forward,
                  [&](const UndoRecord& r) { ApplyRecord(s, r, forward, change); });
    try {
        RelayoutChange(s, change);
    } catch (...) {
        TextChange back;
        ForEachRecord(records, !forward,
                      [&](const UndoRecord& r) { ApplyRecord(s, r, !forward, back); });
        Relayout(s);
        throw;
    }
    if (s.history.observer)
        s.history.observer->TextChanged(s, records, forward);
    return true;
}

int32_t StopAtOrAfter(const TextBuffer& text, int32_t pos) {
    return IsCharStop(text, pos) ? pos : NextCharStop(text, pos);
}

// Text put beside a combining mark joins it into one character: the
// selection's ends move out to the characters' edges, the caret alone past
// the character it ended in.
void KeepEndsBetweenCharacters(EditState& s) {
    if (s.model.anchor == s.model.caret) {
        s.model.anchor = s.model.caret = StopAtOrAfter(s.model.text, s.model.caret);
        return;
    }
    int32_t& low = s.model.anchor < s.model.caret ? s.model.anchor : s.model.caret;
    int32_t& high = s.model.anchor < s.model.caret ? s.model.caret : s.model.anchor;
    low = CharStopAtOrBefore(s.model.text, low);
    high = StopAtOrAfter(s.model.text, high);
}

// What edits, undo and redo share after the text and layout changed.
void FinishTextChange(EditState& s) {
    KeepEndsBetweenCharacters(s);
    TrackCurrentLine(s);
    EnsureCaretVisible(s);
    InvalidateClient(s);
    NotifyParent(s, EditNotify::Change);
}

// The common tail of every new edit, also of one that changed nothing.
void FinishEdit(EditState& s) {
    s.history.redoHistory.clear();
    s.history.modified = true;
    FinishTextChange(s);
}

// A new edit made of `records`, which join the undo history, leaving the
// selection from `anchor` to `caret` (which fit once the edit is accepted).
void Commit(EditState& s, std::span<UndoRecord> records, int64_t anchor, int64_t caret) {
    MakeRoom(s.history.undoHistory, s.history.undoHistory.size() + records.size());
    if (!ChangeText(s, records, true))
        return;
    for (UndoRecord& record : records)
        s.history.undoHistory.push_back(std::move(record));
    s.model.anchor = Saturate32(anchor);
    s.model.caret = Saturate32(caret);
    FinishEdit(s);
}

// Reverts the newest step of `from` (its top record and those joined
// beneath it) and moves its records to `to`. They arrive there in reverse
// order, so the joins are redrawn: the first one moved is the step's bottom.
void Revert(EditState& s, std::vector<UndoRecord>& from, std::vector<UndoRecord>& to) {
    if (from.empty())
        return;
    size_t count = 1;
    while (count < from.size() && from[from.size() - count].joined)
        ++count;
    const std::span<const UndoRecord> step(from.data() + from.size() - count, count);
    MakeRoom(to, to.size() + count);
    if (!ChangeText(s, step, false))
        return;
    const UndoRecord& bottom = step.front();
    if (bottom.matches)
        s.model.caret = s.model.anchor =
            RebuiltEnd(*bottom.matches, bottom.kind == UndoKind::Delete);
    else
        s.model.caret = s.model.anchor =
            bottom.position + (bottom.kind == UndoKind::Delete ? Length(bottom) : 0);
    for (size_t i = 0; i < count; ++i) {
        UndoRecord record = std::move(from.back());
        from.pop_back();
        record.kind = record.kind == UndoKind::Insert ? UndoKind::Delete : UndoKind::Insert;
        record.joined = i > 0;
        to.push_back(std::move(record));
    }
    FinishTextChange(s);
}

} // namespace

void DeleteAtCaret(EditState& s, bool forward) {
    const TextBuffer& t = s.model.text;
    const int32_t length = TextLength(s.model);
    int32_t from = SelectionLow(s.model);
    int32_t to = SelectionHigh(s.model);
    if (from == to && forward && s.model.caret < length)
        to = NextCharStop(t, s.model.caret);
    else if (from == to && !forward && s.model.caret > 0)
        from = PrevCharStop(t, s.model.caret);
    if (from == to) {
        FinishEdit(s);
        return;
    }
    UndoRecord removed{UndoKind::Delete, from, t.substr(from, to - from)};
    Commit(s, {&removed, 1}, from, from);
}

void ReplaceSelection(EditState& s, std::u16string_view inserted) {
    const int32_t low = SelectionLow(s.model);
    const int32_t high = SelectionHigh(s.model);
    UndoRecord records[2];
    size_t count = 0;
    if (high > low)
        records[count++] = {UndoKind::Delete, low, s.model.text.substr(low, high - low)};
    if (!inserted.empty())
        records[count++] = {UndoKind::Insert, low, std::u16string(inserted)};
    const int64_t end = low + static_cast<int64_t>(inserted.size());
    Commit(s, {records, count}, end, end);
}

void ReplaceRange(EditState& s, int32_t start, int32_t end, std::u16string inserted) {
    start = std::clamp(start, 0, TextLength(s.model));
    end = std::clamp(end, start, TextLength(s.model));
    // A pair cut in two would leave a lone surrogate: take it whole.
    if (InsideSurrogatePair(s.model.text, start))
        --start;
    if (InsideSurrogatePair(s.model.text, end))
        ++end;
    UndoRecord records[2];
    size_t count = 0;
    if (end > start)
        records[count++] = {UndoKind::Delete, start, s.model.text.substr(start, end - start)};
    const int64_t caret = start + static_cast<int64_t>(inserted.size());
    if (!inserted.empty()) {
        records[count] = {UndoKind::Insert, start, std::move(inserted), count > 0};
        ++count;
    }
    Commit(s, {records, count}, start, caret);
}

void ReplaceMatches(EditState& s, std::vector<int32_t> positions, int32_t length,
                    std::u16string_view inserted) {
    UndoRecord record;
    record.matches = CollectMatches(s.model.text, std::move(positions), length, inserted);
    if (!record.matches)
        return;
    record.position = record.matches->positions.front();
    Commit(s, {&record, 1}, record.position, RebuiltEnd(*record.matches, true));
}

void DeleteSelection(EditState& s) {
    if (s.model.anchor != s.model.caret)
        DeleteAtCaret(s, true);
}

void Undo(EditState& s) {
    Revert(s, s.history.undoHistory, s.history.redoHistory);
}

void Redo(EditState& s) {
    Revert(s, s.history.redoHistory, s.history.undoHistory);
}

void TypeCharacter(EditState& s, char16_t unit) {
    if (unit == kTab) {
        if (s.view.insertSpaces)
            ReplaceSelection(s, std::u16string(static_cast<size_t>(TabStop(s.view)), u' '));
        else
            ReplaceSelection(s, u"\t");
    } else if (unit == kCr) {
        ReplaceSelection(s, u"\r\n");
    } else if (unit >= 32) {
        ReplaceSelection(s, std::u16string_view(&unit, 1));
    }
}
