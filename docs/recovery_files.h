// The recovery journals' files, in the user's local application-data
// folder: one per document with unsaved edits, held open while it has them,
// which keeps every other instance of the program away from it.
#pragma once

#include <string>

struct Document;

// Where the journals live when set (tests); empty: the real folder.
std::wstring& Recovery_FolderOverride();
// The journals' folder, created when missing; empty when there is none.
std::wstring Recovery_Folder();

// Gives a new document, once its edit control exists, the journal the
// control feeds.
void Recovery_Attach(Document& document);
// Appends what the journal kept since the last write and flushes it to the
// disk, or starts a new journal from a copy of the whole text when the old
// one no longer leads to the text or has grown past it. Nothing happens
// without a change since the last write.
void Recovery_Write(Document& document);
// The document has no unsaved edits any more (loaded, saved, closed): its
// journal goes.
void Recovery_Discard(Document& document);
