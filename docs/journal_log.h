// A document's recovery journal: every change of the text becomes a record
// kept in memory, which the window layer has written about a second later.
// The records apply to the file as the document loaded or saved it (or to
// the empty text); when that file stops being the one on the disk, or the
// records stop leading to the text, a copy of the whole text starts a new
// journal. The copy is made a piece at a time while typing goes on, and the
// old journal takes the new records until the copy is complete.
#pragma once

#include "docs/journal_format.h"
#include "docs/journal_writer.h"
#include "editctl/edit_state.h"
#include "fileio/text_encode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct Document;

// Makes the files of the journals: the user's recovery folder, or memory in tests.
class JournalFolder {
  public:
    // A new, empty file for a generation of a document's journal; null when
    // none can be made.
    virtual std::unique_ptr<JournalSink> Create(uint64_t documentId, uint32_t generation) = 0;

  protected:
    ~JournalFolder() = default;
};

struct JournalProgress {
    bool more = false;   // a copy of the text is under way: write again soon
    bool failed = false; // a journal file could not be made or written
};

// Whether the file the document loaded or saved is still the one on the
// disk, by its stamp; an Untitled document's records apply to the empty
// text, which is always there.
bool JournalBaseOnDisk(const Document& document);

class JournalLog final : public TextObserver {
  public:
    explicit JournalLog(uint64_t documentId) : documentId_(documentId) {}

    void TextChanged(const EditState& s, std::span<const UndoRecord> records,
                     bool forward) noexcept override;
    void TextReplaced(const EditState& s) noexcept override;
    // The file the records apply to is no longer the one on the disk.
    void BaseLost() noexcept;
    // The document is saved in another form from now on.
    void FormChanged(TextEncoding encoding, LineEnding lineEnding) noexcept;

    // Something waits to be written.
    bool Due() const;
    // Writes the kept records and flushes them, and takes the copy of the
    // text a step of about `budget` bytes further. Starting a journal reads
    // the document's file stamp: a file that changed gets a copy instead.
    JournalProgress Write(JournalFolder& folder, const Document& document, TextPieces text,
                          size_t budget) noexcept;
    // Goes on with a journal left by an earlier run that leads to the text;
    // with `renew`, a copy of the text replaces it (its header no longer
    // fits the document).
    void Adopt(std::unique_ptr<JournalSink> file, const JournalHeader& header, uint64_t bytes,
               bool renew);
    // The document has no unsaved edits any more: its journal files go.
    void Discard() noexcept;

  private:
    struct Stream {
        std::unique_ptr<QueuedJournal> file;
        std::string pending; // records not yet handed to the file
        uint64_t bytes = 0;  // handed to the file so far
    };
    struct Copy {
        Stream stream;
        int64_t copied = 0; // the copy holds text[0, copied) as it is now
        bool marked = false;
    };

    void Keep(uint32_t position, uint32_t removed, std::u16string_view inserted);
    void KeepMatches(const ReplacedMatches& matches, bool putInserted);
    void Lose() noexcept;
    void Settle(JournalProgress& progress);
    void WriteRecords(JournalFolder& folder, const Document& document, int64_t length,
                      JournalProgress& progress);
    void WriteStale();
    void StartCopy(JournalFolder& folder, const Document& document, JournalProgress& progress);
    void StepCopy(TextPieces text, size_t budget);
    std::unique_ptr<QueuedJournal> NewFile(JournalFolder& folder, const Document& document,
                                           bool snapshot, std::string& bytes);

    uint64_t documentId_;
    uint32_t generation_ = 0;
    Stream current_;
    // The current journal's records lead to the text: new ones go on it.
    bool sound_ = true;
    // The current journal holds a copy of the text, which needs no file.
    bool currentIsCopy_ = false;
    // The current journal must say that the text went on without it.
    bool staleDue_ = false;
    // A copy of the text must start a new journal.
    bool afresh_ = false;
    std::optional<Copy> copy_;
};
