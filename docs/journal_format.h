// The bytes of a recovery journal: a signature, a header naming what the
// text was written against, then one record per change of the text or of
// the form it is saved in. Each record carries its length and a hash of its
// bytes, so that a journal cut short by a crash or a power loss, or
// damaged, is read up to its last whole record.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/text_buffer.h"
#include "fileio/file_identity.h"
#include "fileio/text_format.h"

#include <cstdint>
#include <string>
#include <string_view>

struct JournalHeader {
    // The same for every journal of one document, for as long as it has one.
    uint64_t documentId = 0;
    // Counts the fresh starts of that document's journal; the highest wins.
    uint32_t generation = 0;
    // A snapshot journal starts from the empty text, copies the whole text
    // into it and is usable once a mark closes the copy. Any other applies
    // its records to the file at `path` as `disk` identifies it or, that not
    // known, to the empty text.
    bool snapshot = false;
    std::u16string path;
    std::u16string displayName;
    FileIdentity disk;
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
    // The load of the file replaced bytes it could not decode.
    bool replacedBytes = false;
};

// A journal starts with this.
void AppendJournalHeader(std::string& out, const JournalHeader& header);
// text[position, position + removed) became `inserted`.
void AppendJournalChange(std::string& out, uint32_t position, uint32_t removed,
                         std::u16string_view inserted);
// A Replace All carried out forward (`putInserted`) or undone. False, with
// `out` as it was, when the record would be too large for a frame.
bool AppendJournalMatches(std::string& out, const ReplacedMatches& matches, bool putInserted);
// The document is saved in this form from now on.
void AppendJournalForm(std::string& out, TextEncoding encoding, LineEnding lineEnding);
// Ends a snapshot's copy of the text.
void AppendJournalMark(std::string& out);
// The text went on without this journal: what it holds is an older text.
void AppendJournalStale(std::string& out);

// False unless the bytes start with a whole, sound header.
bool ReadJournalHeader(std::string_view bytes, JournalHeader& header);

struct JournalReplay {
    bool header = false; // the header was whole and sound
    bool whole = false;  // every byte belonged to a whole, sound record
    bool marked = false; // a mark was reached
    bool stale = false;  // the journal says the text went on without it
    // Where the last sound record ends: the journal's usable length.
    uint64_t soundBytes = 0;
    // The form as the header gave it and the last form record changed it.
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
};
// Carries out the records after the header on `text`, stopping at the first
// torn or damaged record, one that does not fit the text, or a stale mark:
// `text` is then as the last sound record left it. Out of memory throws
// std::bad_alloc.
JournalReplay ReplayJournal(std::string_view bytes, TextBuffer& text);
