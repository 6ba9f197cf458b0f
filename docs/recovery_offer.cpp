#include "docs/recovery_offer.h"

#include "docs/file_commands.h"
#include "docs/journal_format.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/recovery_files.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/text_file.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A header, whatever its path, fits in this many bytes at a journal's start.
constexpr DWORD kHeaderBytes = 256 * 1024;

// The whole of a journal file, mapped rather than read: a copy of a large
// text is gigabytes.
class MappedJournal {
  public:
    explicit MappedJournal(HANDLE file) {
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(file, &size) || size.QuadPart == 0)
            return;
        mapping_.reset(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping_)
            view_ = MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0);
        if (view_)
            bytes_ = {static_cast<const char*>(view_), static_cast<size_t>(size.QuadPart)};
    }
    ~MappedJournal() {
        if (view_)
            UnmapViewOfFile(view_);
    }
    MappedJournal(const MappedJournal&) = delete;
    MappedJournal& operator=(const MappedJournal&) = delete;
    std::string_view bytes() const { return bytes_; }

  private:
    FileHandle mapping_;
    const void* view_ = nullptr;
    std::string_view bytes_;
};

// A journal left behind, held open for writing while it is decided on:
// another instance asking for the same is refused, a reader is not.
struct LeftJournal {
    std::wstring path;
    FileHandle file;
    JournalHeader header;
};

// What became of one document's journals once the user said Yes.
enum class Note {
    None,
    Changed,        // opened as Untitled: its file has other bytes now
    Gone,           // opened as Untitled: its file is gone or cannot be read
    Partial,        // some of the text could not be read
    BaseUnreadable, // not recovered now: its file cannot be read
    BaseChanged,    // not recovered: the edits need the file as it was
    OutOfTabs,      // not recovered now: no tab could be made
};

// One document's journals, newest first, and its recovered text.
struct LeftDocument {
    std::vector<LeftJournal> journals;
    std::u16string text;
    JournalReplay replay;
    size_t used = 0;   // the journal that led to the text
    bool have = false; // a text came back
    bool ownPath = false;
    FileIdentity disk; // the file now, when the text keeps its path
    Note note = Note::None;

    const JournalHeader& Header() const { return journals[have ? used : 0].header; }
};

// Fails when another instance holds the journal, as it does all the time it runs.
HANDLE TakeJournal(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadHeader(HANDLE file, JournalHeader& header) {
    std::string bytes(kHeaderBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), kHeaderBytes, &read, nullptr))
        return false;
    bytes.resize(read);
    return ReadJournalHeader(bytes, header);
}

bool SameContent(const FileIdentity& now, const FileIdentity& then) {
    return then.known && now.stamp.size == then.stamp.size && now.hash == then.hash;
}

// Files first, by path, then the Untitled ones; in each, the newest first.
void Order(std::vector<LeftDocument>& documents) {
    for (LeftDocument& document : documents) {
        std::sort(document.journals.begin(), document.journals.end(),
                  [](const LeftJournal& a, const LeftJournal& b) {
                      return a.header.generation > b.header.generation;
                  });
    }
    std::stable_sort(
        documents.begin(), documents.end(), [](const LeftDocument& a, const LeftDocument& b) {
            const JournalHeader& x = a.journals.front().header;
            const JournalHeader& y = b.journals.front().header;
            return std::make_pair(x.path.empty(), x.path) < std::make_pair(y.path.empty(), y.path);
        });
}

// Only headers are read: no text is loaded before the user has answered.
void Gather(std::vector<LeftDocument>& documents, std::vector<LeftJournal>& unreadable) {
    const std::wstring folder = Recovery_Folder();
    if (folder.empty())
        return;
    WIN32_FIND_DATAW entry = {};
    const FileSearch search((folder + L"\\*.tsj").c_str(), entry);
    if (!search.Found())
        return;
    std::map<uint64_t, size_t> byId;
    do {
        LeftJournal left{folder + L"\\" + entry.cFileName, FileHandle(), {}};
        left.file.reset(TakeJournal(left.path));
        if (!left.file)
            continue;
        if (!ReadHeader(left.file.get(), left.header)) {
            unreadable.push_back(std::move(left));
            continue;
        }
        const auto [at, added] = byId.emplace(left.header.documentId, documents.size());
        if (added)
            documents.emplace_back();
        documents[at->second].journals.push_back(std::move(left));
    } while (search.Next(entry));
    Order(documents);
}

// Closes the journal and moves it into the kept folder; it stays where it
// is when it cannot be moved.
void KeepAside(LeftJournal& left) {
    left.file.reset();
    const std::wstring kept = Recovery_KeptFolder();
    const std::wstring name = left.path.substr(left.path.rfind(L'\\') + 1);
    if (!kept.empty())
        MoveFileExW(left.path.c_str(), (kept + L"\\" + name).c_str(), MOVEFILE_REPLACE_EXISTING);
}

void Delete(LeftJournal& left) {
    left.file.reset();
    DeleteFileW(left.path.c_str());
}

std::wstring Line(const LeftDocument& document) {
    const JournalHeader& header = document.Header();
    return Wide(header.path.empty() ? header.displayName : header.path);
}

} // namespace

namespace {

enum class Base { Found, Unreadable, Changed };

// The text of the file at `path` when its bytes are those `disk` names,
// and the file's identity now.
Base LoadIfSame(const std::u16string& path, const FileIdentity& disk, TextBuffer& text,
                FileIdentity& now) {
    FileStamp stamp;
    if (!ReadFileStamp(path, stamp))
        return Base::Unreadable;
    // A moved stamp calls for the bytes' hash before a large load.
    if (stamp != disk.stamp && ReadFileIdentity(path, now) && !SameContent(now, disk))
        return Base::Changed;
    std::u16string loaded;
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
    if (!ReadTextFile(path, loaded, encoding, lineEnding, nullptr, &now))
        return Base::Unreadable;
    if (!SameContent(now, disk))
        return Base::Changed;
    text.assign(std::move(loaded));
    return Base::Found;
}

// The text the records of a journal apply to: the file as the journal knew
// it, or the backup a save interrupted by the crash left beside it.
// `disk` receives the file's identity when the text is the file's own.
Base LoadBase(const JournalHeader& header, TextBuffer& text, FileIdentity& disk) {
    disk = {};
    if (!header.disk.known)
        return Base::Found;
    FileIdentity now;
    const Base file = LoadIfSame(header.path, header.disk, text, now);
    if (file == Base::Found) {
        disk = now;
        return file;
    }
    const std::u16string folder = header.path.substr(0, header.path.find_last_of(u"\\/") + 1);
    const std::u16string pattern = header.path + u".~tessary-*.bak";
    WIN32_FIND_DATAW entry = {};
    const FileSearch search(Wide(pattern), entry);
    for (bool more = search.Found(); more; more = search.Next(entry)) {
        if (LoadIfSame(folder + U16(entry.cFileName), header.disk, text, now) == Base::Found)
            return Base::Found;
    }
    return file;
}

// Replays one journal; false when it leads to no text (an unfinished copy,
// or a file it needs that is not there).
bool Replay(LeftDocument& document, size_t index, TextBuffer& text) {
    const LeftJournal& left = document.journals[index];
    const MappedJournal mapped(left.file.get());
    if (!left.header.snapshot) {
        const Base base = LoadBase(left.header, text, document.disk);
        if (base != Base::Found) {
            document.note = base == Base::Changed ? Note::BaseChanged : Note::BaseUnreadable;
            return false;
        }
    }
    document.replay = ReplayJournal(mapped.bytes(), text);
    if (left.header.snapshot && !document.replay.marked)
        return false;
    document.ownPath = document.disk.known;
    document.note = document.replay.whole && !document.replay.stale ? Note::None : Note::Partial;
    return true;
}

// Whether a copy of the text keeps its file's path: the file must still
// hold the bytes the copy's document knew.
void JudgePath(LeftDocument& document) {
    const JournalHeader& header = document.Header();
    if (header.path.empty() || document.ownPath)
        return;
    FileIdentity now;
    const bool readable = ReadFileIdentity(header.path, now);
    document.ownPath = readable && SameContent(now, header.disk);
    if (document.ownPath)
        document.disk = now;
    else if (document.note == Note::None)
        document.note = readable ? Note::Changed : Note::Gone;
}

// The newest journal that leads to the text; failing all, the part of the
// text an unfinished copy holds.
void Recover(LeftDocument& document) {
    TextBuffer partial;
    bool havePartial = false;
    for (size_t i = 0; i < document.journals.size() && !document.have; ++i) {
        TextBuffer text;
        document.have = Replay(document, i, text);
        if (document.have) {
            document.used = i;
            document.text = text.substr(0);
        } else if (document.note != Note::None) {
            break;
        } else if (!havePartial && document.journals[i].header.snapshot) {
            partial.swap(text);
            havePartial = true;
        }
    }
    if (!document.have && havePartial) {
        document.have = true;
        document.note = Note::Partial;
        document.replay.encoding = document.journals.front().header.encoding;
        document.replay.lineEnding = document.journals.front().header.lineEnding;
        document.text = partial.substr(0);
    }
    if (document.have)
        JudgePath(document);
}

} // namespace

namespace {

// Into the active tab when it is a fresh Untitled one, else into a new tab.
bool Restore(MainWindow& mw, HWND window, LeftDocument& left) {
    if (!IsActiveTabReusable(mw) && !MainWnd_NewTab(mw, window))
        return false;
    Document& document = *MainWnd_ActiveDocument(mw);
    const JournalHeader header = left.Header();
    EditCtl_SetText(document.editWindow, std::move(left.text));
    document.path = left.ownPath ? header.path : std::u16string();
    document.displayName = left.ownPath ? FileNameFromPath(header.path) : u"Untitled";
    document.encoding = left.replay.encoding;
    document.encodingLabel = EncodingLabel(document.encoding);
    document.lineEnding = left.replay.lineEnding;
    document.lineEndingLabel = LineEndingLabel(document.lineEnding);
    document.disk = left.ownPath ? left.disk : FileIdentity{};
    document.replacedBytes = header.replacedBytes;
    MainWnd_SetModified(mw, window, true);
    return true;
}

// A journal that led to the whole text goes on as the document's own; a
// partial one is kept for the user, with every other of the document.
void Settle(Document& document, LeftDocument& left) {
    for (size_t i = 0; i < left.journals.size(); ++i) {
        LeftJournal& journal = left.journals[i];
        if (left.note == Note::Partial) {
            KeepAside(journal);
        } else if (i != left.used) {
            Delete(journal);
        } else {
            auto sink = std::make_unique<JournalFileSink>(journal.path);
            LARGE_INTEGER end = {};
            SetFilePointerEx(journal.file.get(), {}, &end, FILE_END);
            sink->Take(journal.file.release());
            const bool renew = !left.ownPath && !journal.header.path.empty();
            document.journal->Adopt(std::move(sink), journal.header,
                                    static_cast<uint64_t>(end.QuadPart), renew);
        }
    }
}

// After Yes: each document's text, or why it did not come back.
bool RecoverAll(MainWindow& mw, HWND window, std::vector<LeftDocument>& documents) {
    bool any = false;
    for (LeftDocument& left : documents) {
        Recover(left);
        if (!left.have) {
            if (left.note != Note::BaseUnreadable)
                std::for_each(left.journals.begin(), left.journals.end(), KeepAside);
            continue;
        }
        if (!Restore(mw, window, left)) {
            left.note = Note::OutOfTabs;
            continue;
        }
        Settle(*MainWnd_ActiveDocument(mw), left);
        any = true;
    }
    if (any)
        MainWnd_ScheduleJournalWrite(mw, window);
    MainWnd_ShowActiveDocument(mw, window);
    return any;
}

} // namespace

namespace {

std::wstring NoteText(Note note, const std::wstring& kept) {
    switch (note) {
    case Note::Changed:
        return L"opened as Untitled, because the file has changed since.";
    case Note::Gone:
        return L"opened as Untitled, because the file is gone or cannot be read.";
    case Note::Partial:
        return L"some of the text could not be read and is missing. The journal is kept in " +
               kept + L".";
    case Note::BaseUnreadable:
        return L"not recovered, because the file cannot be read now. It is offered again at "
               L"the next start.";
    case Note::BaseChanged:
        return L"not recovered, because the unsaved edits apply to the file as it was, and "
               L"the file has changed since. The journal is kept in " +
               kept + L".";
    case Note::OutOfTabs:
        return L"not recovered now, because no more tabs can be created. It is offered again "
               L"at the next start.";
    case Note::None:
        break;
    }
    return {};
}

std::wstring UnreadableText(size_t count) {
    return count == 0 ? std::wstring()
                      : std::to_wstring(count) +
                            (count == 1 ? L" recovery journal is damaged and cannot be read. It is"
                                        : L" recovery journals are damaged and cannot be read. "
                                          L"They are") +
                            L" kept in " + Recovery_KeptFolder() + L".";
}

std::wstring Question(const std::vector<LeftDocument>& documents, size_t unreadable) {
    const size_t count = documents.size();
    std::wstring text = L"" TESSARY_NAME " did not close normally. Recover the unsaved text of " +
                        std::to_wstring(count) + (count == 1 ? L" document?\n" : L" documents?\n");
    for (const LeftDocument& document : documents)
        text += L"\n" + Line(document);
    text += L"\n\nYes: recover. No: delete the unsaved text. Cancel: ask again at the next start.";
    if (unreadable > 0)
        text += L"\n\n" + UnreadableText(unreadable);
    return text;
}

void ShowNotes(HWND window, const std::vector<LeftDocument>& documents) {
    const std::wstring kept = Recovery_KeptFolder();
    std::wstring text;
    for (const LeftDocument& document : documents) {
        if (document.note != Note::None)
            text += L"\n\n" + Line(document) + L": " + NoteText(document.note, kept);
    }
    if (text.empty())
        return;
    text = L"Not every text came back as it was:" + text;
    ModalUi_MessageBox(window, text.c_str(), kProgramName, MB_OK | MB_ICONWARNING);
}

} // namespace

bool MainWnd_OfferRecovery(MainWindow& mw, HWND window) {
    std::vector<LeftDocument> documents;
    std::vector<LeftJournal> unreadable;
    Gather(documents, unreadable);
    std::for_each(unreadable.begin(), unreadable.end(), KeepAside);
    if (documents.empty()) {
        if (!unreadable.empty())
            ModalUi_MessageBox(window, UnreadableText(unreadable.size()).c_str(), kProgramName,
                               MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::wstring question = Question(documents, unreadable.size());
    const int answer = ModalUi_MessageBox(window, question.c_str(), kProgramName,
                                          MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO) {
        for (LeftDocument& document : documents)
            std::for_each(document.journals.begin(), document.journals.end(), Delete);
    }
    if (answer != IDYES)
        return false;
    const bool recovered = RecoverAll(mw, window, documents);
    ShowNotes(window, documents);
    return recovered;
}
