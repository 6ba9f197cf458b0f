#include "fileio/file_bytes_temp.h"
#include "fileio/wide.h"
#include "winkit/win_handles.h"

#include <windows.h>

namespace {

// The file name of a process's program; empty when it cannot be told.
std::wstring ProgramName(HANDLE process) {
    wchar_t path[MAX_PATH * 2];
    DWORD length = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process, 0, path, &length))
        return {};
    const std::wstring full(path, length);
    const size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

bool SameProgramAsThisOne(HANDLE process) {
    const std::wstring theirs = ProgramName(process);
    const std::wstring ours = ProgramName(GetCurrentProcess());
    // What cannot be told counts as ours: keeping a stale file costs less
    // than deleting the file a running save is writing.
    return theirs.empty() || ours.empty() ||
           CompareStringOrdinal(theirs.c_str(), -1, ours.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

// Only a process id that names no process, an ended process, or a process
// running another program counts as gone. A process that may not be
// inspected is someone else's running instance.
bool SaveOwnerMayBeRunning(uint32_t processId) {
    const FileHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD exitCode = 0;
    return !GetExitCodeProcess(process.get(), &exitCode) ||
           (exitCode == STILL_ACTIVE && SameProgramAsThisOne(process.get()));
}

std::vector<SaveFileEntry> SaveFilesIn(const std::u16string& folder) {
    std::vector<SaveFileEntry> entries;
    const std::wstring base(Wide(folder));
    WIN32_FIND_DATAW found;
    const FileSearch search((base + L"\\~tessary-*").c_str(), found);
    if (!search.Found())
        return entries;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            entries.push_back({U16(found.cFileName), U16(base + L"\\" + found.cFileName)});
    } while (search.Next(found));
    return entries;
}

bool DeleteSaveFile(const std::u16string& path) {
    return DeleteFileW(Wide(path)) != FALSE;
}
