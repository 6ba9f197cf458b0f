#include "fileio/file_bytes_temp.h"
#include "fileio/file_handle.h"

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

// Only a process id that names no process, an ended process, or a process
// running another program counts as gone. A process that may not be
// inspected is someone else's running instance.
bool OwnerMayBeRunning(DWORD processId) {
    const FileHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD exitCode = 0;
    return !GetExitCodeProcess(process.get(), &exitCode) ||
           (exitCode == STILL_ACTIVE && SameProgramAsThisOne(process.get()));
}

} // namespace

void RemoveStaleSaveFiles(const std::u16string& folder) {
    const std::wstring base(folder.begin(), folder.end());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"\\~tessary-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
        uint32_t owner;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            ParseSaveTempFileName(name, owner) && !OwnerMayBeRunning(owner))
            DeleteFileW((base + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
