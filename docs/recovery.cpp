#include "docs/recovery.h"

#include "docs/journal_format.h"
#include "docs/journal_log.h"
#include "docs/main_window.h"
#include "docs/recovery_files.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/file_commands.h"
#include "fileio/text_file.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kWriteDelayMs = 1000;

enum class Outcome {
    OwnPath,  // the text, for the file as the journal knew it
    Untitled, // the text, for no file: there was none, or it has changed
    Lost,     // the edits need the file as it was, which has changed
    Unusable  // damaged before its text began, or superseded
};

// A journal left behind, held open without sharing while it is decided on.
struct LeftJournal {
    std::wstring path;
    FileHandle file;
    JournalHeader header;
    Outcome outcome = Outcome::Unusable;
    std::u16string text;
    FileIdentity disk; // the file now, when it is still the journal's
    bool replacedBytes = false;
    bool restored = false;
};

bool Offered(const LeftJournal& left) {
    return left.outcome == Outcome::OwnPath || left.outcome == Outcome::Untitled;
}

// Null when another instance holds the journal, as it does all the time it runs.
HANDLE TakeJournal(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool ReadWhole(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size))
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        const auto piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, piece, &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

bool SameContent(const FileIdentity& now, const FileIdentity& then) {
    return then.known && now.stamp.size == then.stamp.size && now.hash == then.hash;
}

// The text the journal leads to, and whether it may keep its file's path.
void Evaluate(LeftJournal& left, std::string_view bytes) {
    const JournalHeader& header = left.header;
    FileIdentity now;
    const bool unchanged =
        header.disk.known && ReadFileIdentity(header.path, now) && SameContent(now, header.disk);
    if (header.snapshot) {
        if (!ReplayJournal(bytes, left.text).marked)
            return;
    } else if (header.disk.known) {
        TextEncoding encoding = TextEncoding::Utf8;
        LineEnding lineEnding = LineEnding::Crlf;
        if (!unchanged ||
            !ReadTextFile(header.path, left.text, encoding, lineEnding, &left.replacedBytes)) {
            left.outcome = Outcome::Lost;
            return;
        }
        ReplayJournal(bytes, left.text);
    } else {
        ReplayJournal(bytes, left.text);
    }
    left.outcome = unchanged ? Outcome::OwnPath : Outcome::Untitled;
    if (unchanged)
        left.disk = now;
}

std::vector<LeftJournal> GatherLeftJournals() {
    std::vector<LeftJournal> found;
    const std::wstring folder = Recovery_Folder();
    if (folder.empty())
        return found;
    WIN32_FIND_DATAW entry = {};
    const FileSearch search((folder + L"\\*.tsj").c_str(), entry);
    if (!search.Found())
        return found;
    do {
        LeftJournal left;
        left.path = folder + L"\\" + entry.cFileName;
        left.file.reset(TakeJournal(left.path));
        if (!left.file)
            continue;
        std::string bytes;
        if (ReadWhole(left.file.get(), bytes) && ReadJournalHeader(bytes, left.header))
            Evaluate(left, bytes);
        found.push_back(std::move(left));
    } while (search.Next(entry));
    // Files first, by path, then the Untitled ones.
    std::stable_sort(found.begin(), found.end(), [](const LeftJournal& a, const LeftJournal& b) {
        return std::make_pair(a.header.path.empty(), a.header.path) <
               std::make_pair(b.header.path.empty(), b.header.path);
    });
    return found;
}

// Of one document's journals only the newest that leads to a text counts.
void KeepNewest(std::vector<LeftJournal>& found) {
    for (LeftJournal& left : found) {
        for (const LeftJournal& other : found) {
            if (left.outcome != Outcome::Unusable && other.outcome != Outcome::Unusable &&
                other.header.documentId == left.header.documentId &&
                other.header.generation > left.header.generation) {
                left.outcome = Outcome::Unusable;
                left.text.clear();
            }
        }
    }
}

std::wstring Line(const LeftJournal& left) {
    const JournalHeader& header = left.header;
    if (header.path.empty())
        return Wide(header.displayName);
    std::wstring line = Wide(header.path);
    if (left.outcome == Outcome::Untitled)
        line += L" (the file has changed since: opens as Untitled)";
    return line;
}

std::wstring Question(const std::vector<LeftJournal>& found, int offered) {
    std::wstring text = L"Tessary did not close normally. Recover the unsaved text of " +
                        std::to_wstring(offered) +
                        (offered == 1 ? L" document?\n" : L" documents?\n");
    std::wstring lost;
    for (const LeftJournal& left : found) {
        if (Offered(left))
            text += L"\n" + Line(left);
        else if (left.outcome == Outcome::Lost)
            lost += L"\n" + Line(left);
    }
    if (!lost.empty())
        text += L"\n\nThese cannot be recovered, because their files have changed since:" + lost;
    return text;
}

void ShowLost(HWND window, const std::vector<LeftJournal>& found) {
    std::wstring text = L"Tessary did not close normally. The unsaved text of these files cannot "
                        L"be recovered, because the files have changed since:\n";
    for (const LeftJournal& left : found) {
        if (left.outcome == Outcome::Lost)
            text += L"\n" + Line(left);
    }
    ModalUi_MessageBox(window, text.c_str(), L"Tessary", MB_OK | MB_ICONWARNING);
}

// Into the active tab when it is a fresh Untitled one, else into a new tab;
// a journal of its own is on the disk before the old one goes.
bool Restore(MainWindow& mw, HWND window, LeftJournal& left) {
    if (!IsActiveTabReusable(mw) && !MainWnd_NewTab(mw, window))
        return false;
    Document& document = *MainWnd_ActiveDocument(mw);
    const JournalHeader& header = left.header;
    const bool ownPath = left.outcome == Outcome::OwnPath;
    EditCtl_SetText(document.editWindow, left.text);
    document.path = ownPath ? header.path : std::u16string();
    document.displayName = ownPath ? FileNameFromPath(header.path) : u"Untitled";
    document.encoding = header.encoding;
    document.encodingLabel = EncodingLabel(header.encoding);
    document.lineEnding = header.lineEnding;
    document.lineEndingLabel = LineEndingLabel(header.lineEnding);
    document.disk = ownPath ? left.disk : FileIdentity{};
    document.replacedBytes = ownPath && left.replacedBytes;
    MainWnd_SetModified(mw, window, true);
    document.journal->due = true;
    Recovery_Write(document);
    return true;
}

bool RestoreAll(MainWindow& mw, HWND window, std::vector<LeftJournal>& found) {
    bool any = false;
    for (LeftJournal& left : found) {
        if (!Offered(left))
            continue;
        if (!Restore(mw, window, left))
            break;
        left.restored = any = true;
    }
    MainWnd_ShowActiveDocument(mw, window);
    return any;
}

} // namespace

void MainWnd_ScheduleJournalWrite(MainWindow& mw, HWND window) {
    if (mw.journalWriteDue)
        return;
    mw.journalWriteDue = SetTimer(window, IDT_JOURNAL_WRITE, kWriteDelayMs, nullptr) != 0;
    // Without a timer the journals are written at once rather than never.
    if (!mw.journalWriteDue)
        MainWnd_WriteJournals(mw, window);
}

void MainWnd_WriteJournals(MainWindow& mw, HWND window) {
    KillTimer(window, IDT_JOURNAL_WRITE);
    mw.journalWriteDue = false;
    for (Document& document : mw.documents)
        Recovery_Write(document);
}

void MainWnd_DiscardJournals(MainWindow& mw) {
    for (Document& document : mw.documents)
        Recovery_Discard(document);
}

bool MainWnd_OfferRecovery(MainWindow& mw, HWND window) {
    std::vector<LeftJournal> found = GatherLeftJournals();
    KeepNewest(found);
    int offered = 0;
    int lost = 0;
    for (const LeftJournal& left : found) {
        offered += Offered(left);
        lost += left.outcome == Outcome::Lost;
    }
    bool accepted = false;
    bool recovered = false;
    if (offered > 0) {
        const std::wstring question = Question(found, offered);
        accepted = ModalUi_MessageBox(window, question.c_str(), L"Tessary",
                                      MB_YESNO | MB_ICONQUESTION) == IDYES;
        if (accepted)
            recovered = RestoreAll(mw, window, found);
    } else if (lost > 0) {
        ShowLost(window, found);
    }
    for (LeftJournal& left : found) {
        left.file.reset();
        // One accepted that found no tab (the window quota spent) stays for the next start.
        if (!accepted || left.restored || !Offered(left))
            DeleteFileW(left.path.c_str());
    }
    return recovered;
}
