// The bytes of a recovery journal: a signature, a header naming what the
// text was written against, then one record per change of the text. Each
// record carries its length and a hash of its bytes, so that a journal cut
// short by a crash or a power loss, or damaged, is read up to its last whole
// record.
#pragma once

#include "fileio/file_identity.h"
#include "fileio/text_format.h"

#include <cstdint>
#include <string>
#include <string_view>

struct JournalHeader {
    // The same for every journal of one document in one run of the program.
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
};

// A journal starts with this.
void AppendJournalHeader(std::string& out, const JournalHeader& header);
// text[position, position + removed) became `inserted`.
void AppendJournalChange(std::string& out, uint32_t position, uint32_t removed,
                         std::u16string_view inserted);
// Ends a snapshot's copy of the text.
void AppendJournalMark(std::string& out);

// False unless the bytes start with a whole, sound header.
bool ReadJournalHeader(std::string_view bytes, JournalHeader& header);

struct JournalReplay {
    bool whole = false;  // every byte belonged to a whole, sound record
    bool marked = false; // a mark was reached
};
// Carries out the records after the header on `text`, stopping at the first
// torn or damaged record or one that does not fit the text: `text` is then
// as the last sound record left it.
JournalReplay ReplayJournal(std::string_view bytes, std::u16string& text);
