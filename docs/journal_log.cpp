#include "docs/journal_log.h"

#include "docs/journal_format.h"

namespace {

void AppendRecord(std::string& out, const UndoRecord& record, bool forward) {
    const auto position = static_cast<uint32_t>(record.position);
    if ((record.kind == UndoKind::Insert) == forward)
        AppendJournalChange(out, position, 0, record.text);
    else
        AppendJournalChange(out, position, static_cast<uint32_t>(record.text.size()), {});
}

} // namespace

void JournalLog::TextChanged(const EditState& s, std::span<const UndoRecord> records,
                             bool forward) noexcept {
    due = true;
    textUnits = static_cast<int64_t>(s.model.text.size());
    if (afresh)
        return;
    try {
        if (forward) {
            for (const UndoRecord& record : records)
                AppendRecord(pending, record, true);
        } else {
            for (auto record = records.rbegin(); record != records.rend(); ++record)
                AppendRecord(pending, *record, false);
        }
    } catch (...) {
        // Out of memory: the copy of the whole text will stand for the lost records.
        pending.clear();
        pending.shrink_to_fit();
        afresh = true;
    }
}

void JournalLog::TextReplaced(const EditState& s) noexcept {
    pending.clear();
    due = true;
    afresh = true;
    textUnits = static_cast<int64_t>(s.model.text.size());
}
