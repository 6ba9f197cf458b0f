// The recovery journals' files, in the user's local application-data
// folder and readable by the user alone: one per document with unsaved
// edits (two while a copy of its text replaces the old one), held open
// while it has them, which keeps every other instance of the program away
// from it.
#pragma once

#include "docs/journal_log.h"
#include "winkit/win_handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

struct Document;

// Where the journals live when set (tests); empty: the real folder.
std::wstring& Recovery_FolderOverride();
// Where the journals' folder is or would be; empty when the system names
// no place for it.
std::wstring Recovery_FolderPath();
// The journals' folder, created for the user alone when missing; empty
// when there is none.
std::wstring Recovery_Folder();
// Where journals that cannot be used are kept, for the user to look at.
std::wstring Recovery_KeptFolder();
// A security descriptor that lets the user alone at a file, or at a folder
// and what it will hold; null when the user's identity cannot be read.
class OwnerOnlySecurity {
  public:
    explicit OwnerOnlySecurity(bool folder);
    SECURITY_ATTRIBUTES* get() { return ready_ ? &attributes_ : nullptr; }

  private:
    std::unique_ptr<BYTE[]> user_;
    std::unique_ptr<BYTE[]> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool ready_ = false;
};
// A journal file open for writing at its end, closed and deleted when the
// document no longer needs it.
class JournalFileSink final : public JournalSink {
  public:
    explicit JournalFileSink(std::wstring path) : path_(std::move(path)) {}
    ~JournalFileSink() override;
    JournalFileSink(const JournalFileSink&) = delete;
    JournalFileSink& operator=(const JournalFileSink&) = delete;

    const std::wstring& Path() const { return path_; }
    // Owns the open file from now on.
    void Take(HANDLE file) noexcept { file_.reset(file); }
    bool Append(std::string_view bytes) override;
    bool Flush() override;

  private:
    std::wstring path_;
    FileHandle file_;
};

// Gives a new document, once its edit control exists, the journal the
// control feeds.
void Recovery_Attach(Document& document);
// Writes what the document's journal kept, and takes a copy of its text
// about `budget` bytes further.
JournalProgress Recovery_Write(Document& document, size_t budget);
// The document has no unsaved edits any more (loaded, saved, closed): its
// journal goes.
void Recovery_Discard(Document& document);
// Why the last journal file could not be made or written, in words.
std::wstring Recovery_FailureText();
