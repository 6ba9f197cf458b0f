#include "docs/journal_log.h"

#include "docs/document.h"

#include <algorithm>
#include <utility>

namespace {

// A copy of the text goes to its file in pieces of this many units, each
// small enough for the heap to reuse its block (a larger one is mapped and
// unmapped afresh each time, which stops the window now and then), and no
// further while this many bytes wait to be written: the disk sets the pace.
constexpr int64_t kCopyPiece = 64 * 1024;
constexpr uint64_t kCopyQueueLimit = 8u << 20;
// A journal may grow this much past twice the text's bytes before a copy
// of the text starts it again.
constexpr uint64_t kGrowthAllowance = 1 << 20;

int64_t LengthOf(TextPieces text) {
    int64_t length = 0;
    for (const std::u16string_view piece : text)
        length += static_cast<int64_t>(piece.size());
    return length;
}

// Up to `most` units from `at` on, within one piece.
std::u16string_view PieceAt(TextPieces text, int64_t at, int64_t most) {
    for (const std::u16string_view piece : text) {
        const auto size = static_cast<int64_t>(piece.size());
        if (at < size)
            return piece.substr(static_cast<size_t>(at),
                                static_cast<size_t>(std::min(most, size - at)));
        at -= size;
    }
    return {};
}

JournalHeader HeaderOf(const Document& document, uint64_t id, uint32_t generation, bool snapshot) {
    JournalHeader header;
    header.documentId = id;
    header.generation = generation;
    header.snapshot = snapshot;
    header.path = document.path;
    header.displayName = document.displayName;
    header.disk = document.disk;
    header.encoding = document.encoding;
    header.lineEnding = document.lineEnding;
    header.replacedBytes = document.replacedBytes;
    return header;
}

} // namespace

bool JournalBaseOnDisk(const Document& document) {
    if (document.path.empty())
        return true;
    FileStamp now;
    return document.disk.known && !document.declined.known && ReadFileStamp(document.path, now) &&
           now == document.disk.stamp;
}

void JournalLog::TextChanged(const EditState&, std::span<const UndoRecord> records,
                             bool forward) noexcept {
    try {
        if (records.size() == 1 && records.front().matches) {
            const UndoRecord& record = records.front();
            KeepMatches(*record.matches, (record.kind == UndoKind::Insert) == forward);
            return;
        }
        auto keep = [&](const UndoRecord& record) {
            const auto position = static_cast<uint32_t>(record.position);
            if ((record.kind == UndoKind::Insert) == forward)
                Keep(position, 0, record.text);
            else
                Keep(position, static_cast<uint32_t>(record.text.size()), {});
        };
        if (forward)
            std::for_each(records.begin(), records.end(), keep);
        else
            std::for_each(records.rbegin(), records.rend(), keep);
    } catch (...) {
        // Out of memory: a copy of the whole text will stand for the lost records.
        Lose();
    }
}

void JournalLog::TextReplaced(const EditState&) noexcept {
    Lose();
}

void JournalLog::BaseLost() noexcept {
    // A copy needs no file, and one under way will do.
    if (copy_ || (current_.file && currentIsCopy_))
        return;
    afresh_ = true;
}

void JournalLog::FormChanged(TextEncoding encoding, LineEnding lineEnding) noexcept {
    // Without a journal yet, the header of the first one will tell the form.
    if (!current_.file && current_.pending.empty() && !afresh_ && !copy_)
        return;
    try {
        if (sound_)
            AppendJournalForm(current_.pending, encoding, lineEnding);
        if (copy_)
            AppendJournalForm(copy_->stream.pending, encoding, lineEnding);
    } catch (...) {
        Lose();
    }
}

bool JournalLog::Due() const {
    return !current_.pending.empty() || afresh_ || staleDue_ || copy_;
}

JournalProgress JournalLog::Write(JournalFolder& folder, const Document& document, TextPieces text,
                                  size_t budget) noexcept {
    JournalProgress progress;
    try {
        Settle(progress);
        if (sound_ && !current_.pending.empty())
            WriteRecords(folder, document, LengthOf(text), progress);
        if (staleDue_)
            WriteStale();
        if (afresh_ && !copy_)
            StartCopy(folder, document, progress);
        if (copy_)
            StepCopy(text, budget);
    } catch (...) {
        Lose();
    }
    progress.more = copy_.has_value();
    return progress;
}

void JournalLog::Adopt(std::unique_ptr<JournalSink> file, const JournalHeader& header,
                       uint64_t bytes, bool renew) {
    copy_.reset();
    current_ = Stream{};
    current_.file = std::make_unique<QueuedJournal>(std::move(file));
    current_.bytes = bytes;
    documentId_ = header.documentId;
    generation_ = header.generation;
    sound_ = true;
    currentIsCopy_ = header.snapshot;
    staleDue_ = false;
    afresh_ = renew;
}

void JournalLog::Discard() noexcept {
    copy_.reset();
    current_ = Stream{};
    sound_ = true;
    currentIsCopy_ = staleDue_ = afresh_ = false;
}

void JournalLog::Keep(uint32_t position, uint32_t removed, std::u16string_view inserted) {
    if (sound_)
        AppendJournalChange(current_.pending, position, removed, inserted);
    if (!copy_)
        return;
    // The copy holds the text up to `copied`: a change beyond it reaches the
    // copy with the text, one before it (or past the mark) as a record cut
    // at the copy's end.
    Copy& copy = *copy_;
    if (position >= copy.copied && !copy.marked)
        return;
    const auto cut = static_cast<uint32_t>(std::min<int64_t>(removed, copy.copied - position));
    AppendJournalChange(copy.stream.pending, position, cut, inserted);
    copy.copied += static_cast<int64_t>(inserted.size()) - cut;
}

void JournalLog::KeepMatches(const ReplacedMatches& matches, bool putInserted) {
    // A copy under way holds part of the text: it starts again.
    if (copy_) {
        copy_.reset();
        afresh_ = true;
    }
    if (sound_ && !AppendJournalMatches(current_.pending, matches, putInserted))
        Lose();
}

void JournalLog::Lose() noexcept {
    std::string().swap(current_.pending);
    staleDue_ = current_.file && sound_;
    sound_ = false;
    copy_.reset();
    afresh_ = true;
}

// Takes in what the writing thread did: a failed file, or a copy that is
// complete on the disk and takes the old journal's place.
void JournalLog::Settle(JournalProgress& progress) {
    if (current_.file && sound_ && current_.file->Failed()) {
        sound_ = false;
        afresh_ = !copy_;
        progress.failed = true;
        // Not even its header got to the disk: it would only mislead.
        if (current_.file->Written() == 0)
            current_.file.reset();
    }
    if (!copy_)
        return;
    QueuedJournal& file = *copy_->stream.file;
    if (file.Failed()) {
        copy_.reset();
        afresh_ = true;
        progress.failed = true;
    } else if (copy_->marked && file.Settled()) {
        current_ = std::move(copy_->stream);
        copy_.reset();
        sound_ = currentIsCopy_ = true;
        staleDue_ = false;
    }
}

void JournalLog::WriteRecords(JournalFolder& folder, const Document& document, int64_t length,
                              JournalProgress& progress) {
    if (!current_.file) {
        if (!JournalBaseOnDisk(document)) {
            // Records about a file that is not there would replay onto the wrong text.
            std::string().swap(current_.pending);
            sound_ = false;
            afresh_ = true;
            return;
        }
        std::string bytes;
        std::unique_ptr<QueuedJournal> file = NewFile(folder, document, false, bytes);
        if (!file) {
            progress.failed = true;
            return;
        }
        bytes += current_.pending;
        current_.bytes = bytes.size();
        // Should this fail, the file goes with `file`: none is left without its header.
        file->Append(std::move(bytes));
        current_.file = std::move(file);
        currentIsCopy_ = false;
    } else {
        if (!currentIsCopy_ && !JournalBaseOnDisk(document))
            BaseLost();
        current_.bytes += current_.pending.size();
        current_.file->Append(std::move(current_.pending));
    }
    current_.file->Flush();
    current_.pending.clear();
    if (current_.bytes > 4 * static_cast<uint64_t>(length) + kGrowthAllowance && !copy_)
        afresh_ = true;
}

void JournalLog::WriteStale() {
    staleDue_ = false;
    if (!current_.file)
        return;
    std::string bytes;
    AppendJournalStale(bytes);
    current_.file->Append(std::move(bytes));
    current_.file->Flush();
}

std::unique_ptr<QueuedJournal> JournalLog::NewFile(JournalFolder& folder, const Document& document,
                                                   bool snapshot, std::string& bytes) {
    // Everything that needs memory comes before the file: a failure leaves none.
    AppendJournalHeader(bytes, HeaderOf(document, documentId_, generation_ + 1, snapshot));
    bytes.reserve(bytes.size() + current_.pending.size());
    std::unique_ptr<JournalSink> sink = folder.Create(documentId_, generation_ + 1);
    if (!sink)
        return nullptr;
    auto file = std::make_unique<QueuedJournal>(std::move(sink));
    ++generation_;
    return file;
}

void JournalLog::StartCopy(JournalFolder& folder, const Document& document,
                           JournalProgress& progress) {
    std::string bytes;
    std::unique_ptr<QueuedJournal> file = NewFile(folder, document, true, bytes);
    if (!file) {
        progress.failed = true;
        return;
    }
    Copy copy;
    copy.stream.bytes = bytes.size();
    file->Append(std::move(bytes));
    copy.stream.file = std::move(file);
    copy_.emplace(std::move(copy));
    afresh_ = false;
}

void JournalLog::StepCopy(TextPieces text, size_t budget) {
    Copy& copy = *copy_;
    Stream& stream = copy.stream;
    if (!stream.pending.empty()) {
        stream.bytes += stream.pending.size();
        stream.file->Append(std::move(stream.pending));
        stream.pending.clear();
        if (copy.marked)
            stream.file->Flush();
    }
    const int64_t length = LengthOf(text);
    const int64_t most = std::min<int64_t>(kCopyPiece, static_cast<int64_t>(budget / 2) + 1);
    size_t spent = 0;
    while (!copy.marked && spent < budget && stream.file->Queued() < kCopyQueueLimit) {
        std::string bytes = JournalWriter_TakeBuffer();
        if (copy.copied == length) {
            AppendJournalMark(bytes);
            copy.marked = true;
        } else {
            const std::u16string_view piece = PieceAt(text, copy.copied, most);
            AppendJournalChange(bytes, static_cast<uint32_t>(copy.copied), 0, piece);
            copy.copied += static_cast<int64_t>(piece.size());
        }
        spent += bytes.size();
        stream.bytes += bytes.size();
        stream.file->Append(std::move(bytes));
        if (copy.marked)
            stream.file->Flush();
    }
}
