#include "docs/recovery_files.h"

#include "docs/document.h"
#include "docs/journal_format.h"
#include "docs/journal_log.h"
#include "editctl/editctl.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

namespace {

// A snapshot copies the text in pieces of this many units.
constexpr int32_t kSnapshotPiece = 1 << 20;
// A journal may grow this much past twice the text's bytes before it starts
// again from a copy of the text.
constexpr uint64_t kGrowthAllowance = 1 << 20;

std::wstring LocalAppData() {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
        folder = known;
    CoTaskMemFree(known);
    if (folder.empty()) {
        wchar_t variable[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", variable, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            folder.assign(variable, length);
    }
    return folder;
}

// Unique among the documents of every instance, run after run.
uint64_t NewDocumentId() {
    static uint32_t counter = 0;
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    FILETIME time = {};
    GetSystemTimeAsFileTime(&time);
    const uint64_t parts[] = {GetCurrentProcessId(), static_cast<uint64_t>(now.QuadPart),
                              (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime,
                              ++counter};
    return HashBytes(std::string_view(reinterpret_cast<const char*>(parts), sizeof parts));
}

std::wstring JournalPath(const std::wstring& folder, const JournalLog& log) {
    wchar_t name[64];
    swprintf(name, 64, L"\\%016llx-%u.tsj", static_cast<unsigned long long>(log.documentId),
             log.generation);
    return folder + name;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

JournalHeader HeaderOf(const Document& document, const JournalLog& log, bool snapshot) {
    JournalHeader header;
    header.documentId = log.documentId;
    header.generation = log.generation;
    header.snapshot = snapshot;
    header.path = document.path;
    header.displayName = document.displayName;
    header.disk = document.disk;
    header.encoding = document.encoding;
    header.lineEnding = document.lineEnding;
    return header;
}

// A new journal file for the log's next generation, held open with reading
// shared only: other instances cannot take it while this one runs.
HANDLE CreateJournal(JournalLog& log, std::wstring& path) {
    const std::wstring folder = Recovery_Folder();
    if (folder.empty())
        return INVALID_HANDLE_VALUE;
    ++log.generation;
    path = JournalPath(folder, log);
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseAndDelete(JournalLog& log) {
    if (!log.file)
        return;
    CloseHandle(log.file);
    DeleteFileW(reinterpret_cast<const wchar_t*>(log.fileName.c_str()));
    log.file = nullptr;
    log.fileName.clear();
    log.fileBytes = 0;
}

// The header and the whole text as records, then the mark; the bytes written.
bool WriteSnapshot(HANDLE file, const Document& document, const JournalHeader& header,
                   uint64_t& total) {
    std::string bytes;
    AppendJournalHeader(bytes, header);
    const int32_t length = EditCtl_GetTextLength(document.editWindow);
    for (int32_t at = 0;; at += kSnapshotPiece) {
        if (!WriteAll(file, bytes))
            return false;
        total += bytes.size();
        bytes.clear();
        if (at >= length)
            break;
        const std::u16string piece = EditCtl_GetTextPart(document.editWindow, at, kSnapshotPiece);
        AppendJournalChange(bytes, static_cast<uint32_t>(at), 0, piece);
    }
    AppendJournalMark(bytes);
    total += bytes.size();
    return WriteAll(file, bytes) && FlushFileBuffers(file);
}

// A new journal from a copy of the text; the old one goes once the new one
// is on the disk. On failure the old one stays and the next write tries again.
void StartAfresh(Document& document, JournalLog& log) {
    std::wstring path;
    HANDLE file = CreateJournal(log, path);
    uint64_t total = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteSnapshot(file, document, HeaderOf(document, log, true), total)) {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            DeleteFileW(path.c_str());
        }
        log.afresh = true;
        log.due = true;
        return;
    }
    CloseAndDelete(log);
    log.file = file;
    log.fileName.assign(path.begin(), path.end());
    log.fileBytes = total;
    log.afresh = false;
    log.pending.clear();
}

// Appends the kept records, starting the journal against the document's
// file (or the empty text of an Untitled one) when there is none yet.
bool Append(const Document& document, JournalLog& log) {
    if (!log.file) {
        // Records apply to the file as loaded or saved: without its
        // identity they would be replayed onto the wrong text.
        if (!document.path.empty() && !document.disk.known)
            return false;
        std::wstring path;
        HANDLE file = CreateJournal(log, path);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        log.file = file;
        log.fileName.assign(path.begin(), path.end());
        std::string header;
        AppendJournalHeader(header, HeaderOf(document, log, false));
        log.pending.insert(0, header);
    }
    const bool written = WriteAll(log.file, log.pending) && FlushFileBuffers(log.file);
    log.fileBytes += log.pending.size();
    log.pending.clear();
    return written;
}

bool Outgrown(const JournalLog& log) {
    return log.fileBytes > 4 * static_cast<uint64_t>(log.textUnits) + kGrowthAllowance;
}

} // namespace

std::wstring& Recovery_FolderOverride() {
    static std::wstring folder;
    return folder;
}

std::wstring Recovery_Folder() {
    if (!Recovery_FolderOverride().empty()) {
        CreateDirectoryW(Recovery_FolderOverride().c_str(), nullptr);
        return Recovery_FolderOverride();
    }
    const std::wstring base = LocalAppData();
    if (base.empty())
        return {};
    const std::wstring program = base + L"\\Tessary";
    const std::wstring folder = program + L"\\Recovery";
    CreateDirectoryW(program.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void Recovery_Attach(Document& document) {
    auto log = std::make_shared<JournalLog>();
    log->documentId = NewDocumentId();
    EditCtl_SetTextObserver(document.editWindow, log.get());
    document.journal = std::move(log);
}

void Recovery_Write(Document& document) {
    JournalLog* log = document.journal.get();
    if (!log || !log->due)
        return;
    log->due = false;
    if (log->afresh || !Append(document, *log) || Outgrown(*log))
        StartAfresh(document, *log);
}

void Recovery_Discard(Document& document) {
    JournalLog* log = document.journal.get();
    if (!log)
        return;
    CloseAndDelete(*log);
    log->pending.clear();
    log->due = false;
    log->afresh = false;
}
