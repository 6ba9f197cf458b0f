// Whether another program changed a document's file since the document
// last loaded or saved it. Cheap when nothing changed: the file's stamp is
// read, and its bytes only when the stamp moved.
#pragma once

#include "docs/document.h"

enum class DiskChange {
    None,    // nothing to ask: unchanged, already answered, or no file behind it
    Changed, // other bytes than the document knows, and not yet declined
    Missing, // the file is gone and the user has not been told
};

// What to tell the user about document's file now. A new stamp on the same
// bytes is taken without a word. For Changed, current receives the file's
// identity, which a declined reload keeps in document.declined.
DiskChange FindDiskChange(Document& document, FileIdentity& current);

// Whether saving document to its own file would replace bytes another
// program wrote since the document loaded or saved them, declined or not;
// current receives the file's identity when it was read. A missing file
// replaces nothing; a file that cannot be read counts as changed.
bool SaveWouldReplaceChanges(Document& document, FileIdentity& current);

// Whether the document's file still holds the bytes asked (the identity a
// question about it showed); when not, asked becomes the file's identity
// now, not known when it cannot be read. A file that is gone holds nothing
// to lose.
bool FileStillAsAsked(const Document& document, FileIdentity& asked);
