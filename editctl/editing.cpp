#include "editctl/editing.h"

#include "editctl/change_flow.h"
#include "editctl/column_stops.h"
#include "editctl/characters.h"
#include "editctl/replaced_matches.h"
#include "editctl/room.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"
#include "editctl/view_metrics.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace {

// What an edit of the text model changes, and how its lines are measured.
struct ModelParts {
    TextModel& model;
    EditHistory& history;
    LineMetrics metrics;
};

ModelParts PartsOf(EditState& s) {
    return {s.model, s.history, CurrentLineMetrics(s)};
}

// The record of an edit the text has no room for.
ModelChange Refused() {
    ModelChange change;
    change.kind = ModelChange::Kind::Refused;
    return change;
}

int32_t Length(const UndoRecord& record) {
    return static_cast<int32_t>(record.text.size());
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
int64_t PeakLength(const TextModel& model, std::span<const UndoRecord> records, bool forward) {
    int64_t length = TextLength(model);
    int64_t peak = length;
    ForEachRecord(records, forward, [&](const UndoRecord& r) {
        const auto units = static_cast<int64_t>(r.text.size());
        length += (r.kind == UndoKind::Insert) == forward ? units : -units;
        peak = std::max(peak, length);
    });
    return peak;
}

// The lines of the text as it is, in the memory they had: after a failed
// update, the text is back to what the table held before.
void RestoreLines(const ModelParts& p) {
    p.model.columnStops.clear();
    p.model.lines.rebuild(p.model.text, p.metrics);
}

// ChangeText for a Replace All record, which is a step of its own: the text
// is built anew and the old one kept until the lines are updated.
bool ChangeMatches(const ModelParts& p, const UndoRecord& record, bool forward,
                   ModelChange& change) {
    const ReplacedMatches& m = *record.matches;
    const bool putInserted = (record.kind == UndoKind::Insert) == forward;
    if (RebuiltLength(p.model.text, m, putInserted) > p.model.maxLength)
        return false;
    TextBuffer previous;
    previous.assign(RebuiltText(p.model.text, m, putInserted));
    previous.swap(p.model.text);
    change.span = RebuiltChange(m, putInserted);
    try {
        p.model.lines.update(p.model.text, p.metrics, change.span);
    } catch (...) {
        p.model.text.swap(previous);
        RestoreLines(p);
        throw;
    }
    return true;
}

// What a step's records do as one replacement. They all start at one place
// and their deletions come before their insertion (typing over a selection:
// the selection goes, then the typed text comes), so together they put the
// inserted units in place of as many units as they delete.
struct StepReplacement {
    int32_t position = 0;
    int32_t removed = 0;
    std::u16string_view inserted;
    bool removedPlain = true; // only plain units among those removed
};

StepReplacement FoldStep(std::span<const UndoRecord> records, bool forward) {
    StepReplacement step{records.front().position, 0, {}};
    ForEachRecord(records, forward, [&](const UndoRecord& r) {
        if ((r.kind == UndoKind::Insert) == forward) {
            step.inserted = r.text;
        } else {
            step.removed += Length(r);
            step.removedPlain =
                step.removedPlain && std::all_of(r.text.begin(), r.text.end(), IsPlainUnit);
        }
    });
    return step;
}

void Replace(TextModel& model, const StepReplacement& step) {
    ReplaceText(model, step.position, step.removed, step.inserted);
}

// Stops along the line holding `position`, made on the text before an edit
// there, up to a few spacings past it: with them the line table measures
// a stretch of a long line instead of all of it. Made only when the stops
// already reach near, so that making them is a short walk too.
std::span<const CellStop> StopsAround(const ModelParts& p, int32_t position) {
    if (p.model.lines.empty())
        return {};
    const LineInfo info = p.model.lines[p.model.lines.lineOfPosition(position)];
    const CellRules rules{p.metrics.tabWidth, p.metrics.columnsPerRow};
    constexpr int32_t kSpacing = ColumnStops::kSpacing;
    const std::span<const CellStop> kept = p.model.columnStops.kept(info, rules);
    const int32_t offset = position - info.start;
    const int32_t reach = kept.empty() ? 0 : kept.back().offset;
    if (info.length >= kSpacing && offset - reach <= 2 * kSpacing &&
        reach < offset + 3 * kSpacing) {
        const std::u16string_view line =
            p.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
        p.model.columnStops.beforeOffset(line, info, rules,
                                         std::min(info.length, offset + 4 * kSpacing));
    }
    return p.model.columnStops.kept(info, rules);
}

// Carries out records on the text and its line table, all or nothing.
// Returns false without changing anything when the text would grow beyond
// `maxLength`. The text changes in one replacement, which either needs no
// memory or gets it before anything changes; when the lines' update runs
// out, the text is put back, which needs none, its lines are made again in
// the memory they had, and the failure passes on.
bool ChangeText(const ModelParts& p, std::span<const UndoRecord> records, bool forward,
                ModelChange& change) {
    if (records.size() == 1 && records.front().matches)
        return ChangeMatches(p, records.front(), forward, change);
    const int64_t peak = PeakLength(p.model, records, forward);
    if (peak > p.model.maxLength)
        return false;
    const StepReplacement step = FoldStep(records, forward);
    const std::span<const CellStop> stops = StopsAround(p, step.position);
    Replace(p.model, step);
    change.span.add(step.position, step.removed, static_cast<int32_t>(step.inserted.size()),
                    step.removedPlain);
    try {
        p.model.lines.update(p.model.text, p.metrics, change.span, stops);
    } catch (...) {
        Replace(p.model, FoldStep(records, !forward));
        RestoreLines(p);
        throw;
    }
    p.model.text.tidy();
    return true;
}

int32_t StopAtOrAfter(const TextBuffer& text, int32_t pos) {
    return IsCharStop(text, pos) ? pos : NextCharStop(text, pos);
}

// Text put beside a combining mark joins it into one character: the
// selection's ends move out to the characters' edges, the caret alone past
// the character it ended in.
void KeepEndsBetweenCharacters(TextModel& model) {
    if (model.anchor == model.caret) {
        model.anchor = model.caret = StopAtOrAfter(model.text, model.caret);
        return;
    }
    int32_t& low = model.anchor < model.caret ? model.anchor : model.caret;
    int32_t& high = model.anchor < model.caret ? model.caret : model.anchor;
    low = CharStopAtOrBefore(model.text, low);
    high = StopAtOrAfter(model.text, high);
}

// The common end of every new edit, also of one that changed nothing.
ModelChange FinishEdit(const ModelParts& p, ModelChange change) {
    p.history.redoHistory.clear();
    p.history.modified = true;
    KeepEndsBetweenCharacters(p.model);
    change.kind = ModelChange::Kind::Text;
    return change;
}

// A new edit made of `records`, which join the undo history, leaving the
// selection from `anchor` to `caret` (which fit once the edit is accepted).
ModelChange Commit(const ModelParts& p, std::span<UndoRecord> records, int64_t anchor,
                   int64_t caret) {
    std::vector<UndoRecord>& undo = p.history.undoHistory;
    MakeRoom(undo, undo.size() + records.size());
    ModelChange change;
    // An edit that replaces nothing with nothing has no step to carry out.
    if (!records.empty() && !ChangeText(p, records, true, change))
        return Refused();
    const size_t first = undo.size();
    for (UndoRecord& record : records)
        undo.push_back(std::move(record));
    p.model.anchor = Saturate32(anchor);
    p.model.caret = Saturate32(caret);
    change.records = std::span(undo).subspan(first);
    return FinishEdit(p, std::move(change));
}

// Reverts the newest step of `from` (its top record and those joined
// beneath it) and moves its records to `to`. They arrive there in reverse
// order with their kinds flipped, so that carried out in order there they
// do what was just done; the joins are redrawn: the first one moved is the
// step's bottom.
ModelChange Revert(const ModelParts& p, std::vector<UndoRecord>& from,
                   std::vector<UndoRecord>& to) {
    if (from.empty())
        return {};
    size_t count = 1;
    while (count < from.size() && from[from.size() - count].joined)
        ++count;
    const std::span<const UndoRecord> step(from.data() + from.size() - count, count);
    MakeRoom(to, to.size() + count);
    ModelChange change;
    if (!ChangeText(p, step, false, change))
        return Refused();
    const UndoRecord& bottom = step.front();
    if (bottom.matches)
        p.model.caret = p.model.anchor =
            RebuiltEnd(*bottom.matches, bottom.kind == UndoKind::Delete);
    else
        p.model.caret = p.model.anchor =
            bottom.position + (bottom.kind == UndoKind::Delete ? Length(bottom) : 0);
    const size_t first = to.size();
    for (size_t i = 0; i < count; ++i) {
        UndoRecord record = std::move(from.back());
        from.pop_back();
        record.kind = record.kind == UndoKind::Insert ? UndoKind::Delete : UndoKind::Insert;
        record.joined = i > 0;
        to.push_back(std::move(record));
    }
    KeepEndsBetweenCharacters(p.model);
    change.records = std::span(to).subspan(first);
    change.kind = ModelChange::Kind::Text;
    return change;
}

// A read-only text takes no edit, not even one that would change nothing.
bool RefusedAsReadOnly(EditState& s) {
    if (s.history.readOnly)
        s.effects.readOnly = true;
    return s.history.readOnly;
}

} // namespace

void DeleteAtCaret(EditState& s, bool forward) {
    if (RefusedAsReadOnly(s))
        return;
    const TextBuffer& t = s.model.text;
    const int32_t length = TextLength(s.model);
    int32_t from = SelectionLow(s.model);
    int32_t to = SelectionHigh(s.model);
    if (from == to && forward && s.model.caret < length)
        to = NextCharStop(t, s.model.caret);
    else if (from == to && !forward && s.model.caret > 0)
        from = BackspaceStop(t, s.model.caret);
    if (from == to) {
        FollowChange(s, FinishEdit(PartsOf(s), {}));
        return;
    }
    UndoRecord removed{UndoKind::Delete, from, t.substr(from, to - from)};
    FollowChange(s, Commit(PartsOf(s), {&removed, 1}, from, from));
}

void ReplaceSelection(EditState& s, std::u16string_view inserted) {
    if (RefusedAsReadOnly(s))
        return;
    const int32_t low = SelectionLow(s.model);
    const int32_t high = SelectionHigh(s.model);
    UndoRecord records[2];
    size_t count = 0;
    if (high > low)
        records[count++] = {UndoKind::Delete, low, s.model.text.substr(low, high - low)};
    if (!inserted.empty())
        records[count++] = {UndoKind::Insert, low, std::u16string(inserted)};
    const int64_t end = low + static_cast<int64_t>(inserted.size());
    FollowChange(s, Commit(PartsOf(s), {records, count}, end, end));
}

void ReplaceRange(EditState& s, int32_t start, int32_t end, std::u16string inserted) {
    if (RefusedAsReadOnly(s))
        return;
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
    FollowChange(s, Commit(PartsOf(s), {records, count}, start, caret));
}

void ReplaceMatches(EditState& s, std::vector<int32_t> positions, int32_t length,
                    std::u16string_view inserted) {
    if (RefusedAsReadOnly(s))
        return;
    UndoRecord record;
    record.matches = CollectMatches(s.model.text, std::move(positions), length, inserted);
    if (!record.matches)
        return;
    record.position = record.matches->positions.front();
    const int32_t end = RebuiltEnd(*record.matches, true);
    FollowChange(s, Commit(PartsOf(s), {&record, 1}, record.position, end));
}

void DeleteSelection(EditState& s) {
    if (s.model.anchor != s.model.caret)
        DeleteAtCaret(s, true);
}

void Undo(EditState& s) {
    if (RefusedAsReadOnly(s))
        return;
    FollowChange(s, Revert(PartsOf(s), s.history.undoHistory, s.history.redoHistory));
}

void Redo(EditState& s) {
    if (RefusedAsReadOnly(s))
        return;
    FollowChange(s, Revert(PartsOf(s), s.history.redoHistory, s.history.undoHistory));
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
