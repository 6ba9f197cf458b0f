// One tab's document: its edit control, its file and the form it is saved in.
// Platform-free: the edit control is held by its handle type alone.
#pragma once

#include "fileio/file_identity.h"
#include "fileio/text_format.h"

#include <memory>
#include <string>

class FileLoad;
class JournalLog;

// The window handle type without the platform headers (HWND is HWND__*).
struct HWND__;

struct Document {
    HWND__* editWindow = nullptr; // owned: closing the tab destroys it
    std::u16string path;          // empty until loaded or saved
    std::u16string displayName = u"Untitled";
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
    // Written together with encoding and lineEnding; the status bar shows these.
    std::u16string encodingLabel = u"UTF-8";
    std::u16string lineEndingLabel = u"Win";
    // Also kept by the edit control; MainWnd_SetModified writes both.
    bool modified = false;
    // The load replaced bytes it could not decode, which no save gives back:
    // the first save asks, and a save that goes ahead clears it.
    bool replacedBytes = false;
    // The file as this document last loaded or saved it; not known for an
    // Untitled document.
    FileIdentity disk;
    // A change of the file the user chose not to load: not asked about again
    // until the file changes once more. The next save still asks.
    FileIdentity declined;
    // The user was told that the file is gone; not told again until it is back.
    bool missingReported = false;
    // What the edit control tells of its changes, for the recovery journal;
    // shared by the copies of this record.
    std::shared_ptr<JournalLog> journal;
    // While set, the file is still being read whole and the tab shows its
    // start, read-only; the last copy of the record to go stops the load.
    std::shared_ptr<FileLoad> loading;
    // The load reads the file again: the tab shows the text it held instead
    // until the new one is whole, and keeps it should the read fail.
    bool reloading = false;
};

// The tab item's text: " Untitled ", or " *a.txt " once modified.
std::u16string TabCaption(const Document& document);

// The name as questions about the document quote it: “a.txt”.
std::u16string QuotedName(const Document& document);

// The main window's caption for the active document (none gives "Untitled"):
// "*a.txt - Tessary" while modified.
std::u16string WindowTitle(const Document* active);
