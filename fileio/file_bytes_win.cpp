#include "fileio/file_bytes.h"

#include "fileio/text_units.h"
#include "fileio/wide.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

size_t (*g_writeLimitForTesting)(size_t requested) = nullptr;

namespace {

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// A path with an embedded zero would silently name a different file.
bool IsUsablePath(const std::u16string& path) {
    return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

bool ReadOpenFile(FILE* file, std::string& bytes) {
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return false;
    const int64_t size = _ftelli64(file);
    if (size < 0 || size > kMaxTextLength || _fseeki64(file, 0, SEEK_SET) != 0)
        return false;
    bytes.assign(static_cast<size_t>(size), '\0');
    return size == 0 || fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// The absolute form of path (ReplaceFileW needs it); empty on failure.
std::wstring FullPath(const std::u16string& path) {
    const DWORD needed = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(Wide(path), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

// Creates a new, empty file in folder with a name no other file has.
HANDLE CreateTempFile(const std::wstring& folder, std::wstring& name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + L"\\~tessary-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter) + L".tmp";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        size_t chunk = bytes.size();
        if (g_writeLimitForTesting)
            chunk = std::min(chunk, g_writeLimitForTesting(chunk));
        DWORD written = 0;
        if (chunk == 0 ||
            !WriteFile(file, bytes.data(), static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(file) != FALSE;
}

// Puts the complete temporary file in the target's place. ReplaceFileW keeps
// the target's security and attributes (set again for systems that drop
// them); the backup name tells where the old file is should the swap stop
// half-way.
bool ReplaceTarget(const std::wstring& target, const std::wstring& temp, DWORD attributes) {
    const std::wstring backup = temp + L".old";
    if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        SetFileAttributesW(target.c_str(), attributes);
        DeleteFileW(backup.c_str());
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        MoveFileExW(backup.c_str(), target.c_str(), 0);
    DeleteFileW(temp.c_str());
    return false;
}

} // namespace

bool ReadFileBytes(const std::u16string& path, std::string& bytes) {
    if (!IsUsablePath(path))
        return false;
    FILE* raw = nullptr;
    if (_wfopen_s(&raw, Wide(path), L"rb") != 0 || !raw)
        return false;
    std::unique_ptr<FILE, FileCloser> file(raw);
    return ReadOpenFile(file.get(), bytes);
}

bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes) {
    if (!IsUsablePath(path) || !FitsTextLength(bytes.size()))
        return false;
    const std::wstring target = FullPath(path);
    const size_t slash = target.find_last_of(L'\\');
    if (target.empty() || slash == std::wstring::npos)
        return false;
    // Checked here because some systems let an administrator write read-only files.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;

    std::wstring temp;
    HANDLE file = CreateTempFile(target.substr(0, slash), temp);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, bytes);
    if (!CloseHandle(file) || !written) {
        DeleteFileW(temp.c_str());
        return false;
    }
    if (exists)
        return ReplaceTarget(target, temp, attributes);
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}
