#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"

#include "fileio/text_units.h"
#include "fileio/wide.h"
#include "winkit/under_wine.h"

#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

size_t (*g_writeLimitForTesting)(size_t requested) = nullptr;

namespace {

constexpr DWORD kCopyChunk = 1 << 20;

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const bool closed = Valid() && CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

// A path with an embedded zero would silently name a different file.
bool IsUsablePath(const std::u16string& path) {
    return !path.empty() && path.find(u'\0') == std::u16string::npos;
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

unsigned NextNumber() {
    static unsigned counter = 0;
    return ++counter;
}

// A name beside the target that no file has yet, for a temporary file or a
// backup of the target.
std::wstring FreshName(const std::wstring& target, bool backup) {
    const size_t slash = target.find_last_of(L'\\');
    const std::u16string name = backup ? SaveBackupFileName(U16(target.substr(slash + 1)),
                                                            GetCurrentProcessId(), NextNumber())
                                       : SaveTempFileName(GetCurrentProcessId(), NextNumber());
    return target.substr(0, slash + 1) + std::wstring(name.begin(), name.end());
}

// Creates a new, empty temporary file beside target.
HANDLE CreateTempFile(const std::wstring& target, std::wstring& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = FreshName(target, false);
        HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
        if (chunk == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool WriteProduced(HANDLE file, const ByteProducer& produce) {
    return produce([file](std::string_view piece) { return WriteAll(file, piece); });
}

// Ends the file where its content ends and puts it on the disk.
bool Finish(HANDLE file) {
    return SetEndOfFile(file) && FlushFileBuffers(file);
}

bool Rewind(HANDLE file) {
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

// Makes to's content the same as from's, from the start of both.
bool CopyContent(HANDLE from, HANDLE to) {
    if (!Rewind(from) || !Rewind(to))
        return false;
    std::string buffer(kCopyChunk, '\0');
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), kCopyChunk, &read, nullptr))
            return false;
        if (read == 0)
            return Finish(to);
        if (!WriteAll(to, std::string_view(buffer.data(), read)))
            return false;
    }
}

// The new bytes in a complete temporary file beside target; false, with
// nothing left behind, when they cannot be written.
bool WriteTempFile(const std::wstring& target, const ByteProducer& produce, std::wstring& temp) {
    FileHandle file(CreateTempFile(target, temp));
    if (!file.Valid())
        return false;
    const bool written = WriteProduced(file.Get(), produce) && Finish(file.Get());
    if (file.Close() && written)
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

// The path the open file really has, in the form GetFullPathNameW gives.
std::wstring FinalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, path.data(), MAX_PATH, 0);
    if (length >= MAX_PATH) {
        path.assign(length, L'\0');
        length = GetFinalPathNameByHandleW(file, path.data(), length, 0);
    }
    path.resize(length < path.size() ? length : 0);
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\" + path.substr(7);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// Whether putting a new file in the target's place keeps everything the
// target is. ReplaceFileW carries over attributes, security and alternate
// streams, but a new file is never another file's hard link, and a link
// would be replaced instead of the file it leads to. Under Wine the new file
// also gets fresh Unix owner and mode bits, which Win32 cannot read back.
bool ReplacingKeepsIdentity(HANDLE file, const std::wstring& target, DWORD attributes) {
    BY_HANDLE_FILE_INFORMATION info;
    if (RunningUnderWine() || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !GetFileInformationByHandle(file, &info) || info.nNumberOfLinks != 1)
        return false;
    const std::wstring final = FinalPath(file);
    return CompareStringOrdinal(final.c_str(), -1, target.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Puts the complete temporary file in the target's place. ReplaceFileW moves
// the old file to the backup name first; should the swap stop there and the
// old file not go back, the backup is all that is left of it.
bool ReplaceTarget(const std::wstring& target, const std::wstring& temp, DWORD attributes,
                   std::u16string& keptBackup) {
    const std::wstring backup = FreshName(target, true);
    if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        SetFileAttributesW(target.c_str(), attributes);
        DeleteFileW(backup.c_str());
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
        !MoveFileExW(backup.c_str(), target.c_str(), 0))
        keptBackup = U16(backup);
    DeleteFileW(temp.c_str());
    return false;
}

bool ReplaceByRename(const std::wstring& target, const ByteProducer& produce, DWORD attributes,
                     std::u16string& keptBackup) {
    std::wstring temp;
    return WriteTempFile(target, produce, temp) &&
           ReplaceTarget(target, temp, attributes, keptBackup);
}

// A complete copy of the open target under a backup name. It is copied
// under a temporary name first, so that a crash while copying leaves only a
// temporary file to clear away.
bool MakeBackup(HANDLE file, const std::wstring& target, std::wstring& backup) {
    std::wstring temp;
    FileHandle copy(CreateTempFile(target, temp));
    if (!copy.Valid())
        return false;
    const bool copied = CopyContent(file, copy.Get());
    backup = FreshName(target, true);
    if (copy.Close() && copied && MoveFileExW(temp.c_str(), backup.c_str(), 0))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

// Puts the backup's bytes back into the target; the backup goes only once
// the target holds them again.
bool RestoreFromBackup(HANDLE file, const std::wstring& backup) {
    FileHandle copy(CreateFileW(backup.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!copy.Valid() || !CopyContent(copy.Get(), file))
        return false;
    copy.Close();
    DeleteFileW(backup.c_str());
    return true;
}

// Writes into the target itself, which stays the same file with all it has,
// after a complete backup of its old bytes that is put back should the
// write fail.
bool OverwriteInPlace(HANDLE file, const std::wstring& target, const ByteProducer& produce,
                      std::u16string& keptBackup) {
    std::wstring backup;
    if (!MakeBackup(file, target, backup))
        return false;
    if (Rewind(file) && WriteProduced(file, produce) && Finish(file)) {
        DeleteFileW(backup.c_str());
        return true;
    }
    if (!RestoreFromBackup(file, backup))
        keptBackup = U16(backup);
    return false;
}

bool CreateTarget(const std::wstring& target, const ByteProducer& produce) {
    std::wstring temp;
    if (!WriteTempFile(target, produce, temp))
        return false;
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

bool Refuse(FileFailure& why, FileFailure reason) {
    why = reason;
    return false;
}

bool IsFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool WriteFileBytesChecked(const std::u16string& path, const ByteProducer& produce,
                           std::u16string& backup, FileFailure& why) {
    if (!IsUsablePath(path))
        return Refuse(why, FileFailure::BadName);
    const std::wstring target = FullPath(path);
    const size_t slash = target.find_last_of(L'\\');
    if (target.empty() || slash == std::wstring::npos)
        return Refuse(why, FileFailure::BadName);
    // Checked here because some systems let an administrator write read-only files.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(why, FileFailure::Folder);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return Refuse(why, FileFailure::ReadOnly);

    RemoveStaleSaveFiles(U16(target.substr(0, slash)));
    if (!exists)
        return CreateTarget(target, produce);
    FileHandle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid())
        return false;
    if (!ReplacingKeepsIdentity(file.Get(), target, attributes))
        return OverwriteInPlace(file.Get(), target, produce, backup);
    file.Close();
    return ReplaceByRename(target, produce, attributes, backup);
}

FileReader::~FileReader() {
    if (file_)
        fclose(file_);
}

bool FileReader::Open(const std::u16string& path) {
    if (file_)
        return Fail(FileFailure::Other);
    if (!IsUsablePath(path))
        return Fail(FileFailure::BadName);
    if (_wfopen_s(&file_, Wide(path), L"rb") != 0 || !file_) {
        const FileFailure failure = FileFailureFromSystem();
        return Fail(IsFolder(path) ? FileFailure::Folder : failure);
    }
    // A device (NUL, CON, a serial port) has no bytes of its own to edit.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)))) != FILE_TYPE_DISK)
        return Fail(FileFailure::Device);
    if (_fseeki64(file_, 0, SEEK_END) != 0)
        return Fail(FileFailureFromSystem());
    const int64_t size = _ftelli64(file_);
    if (size < 0 || size > kMaxTextLength)
        return Fail(FileFailure::TooLarge);
    return Rewind();
}

bool FileReader::Rewind() {
    return _fseeki64(file_, 0, SEEK_SET) == 0 || Fail(FileFailureFromSystem());
}
