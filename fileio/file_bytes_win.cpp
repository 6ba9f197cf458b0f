#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"
#include "fileio/file_protection.h"
#include "fileio/save_record.h"
#include "fileio/text_units.h"
#include "fileio/wide.h"
#include "winkit/under_wine.h"
#include "winkit/win_handles.h"

#include <windows.h>
#include <io.h>
#include <share.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

size_t (*g_writeLimitForTesting)(size_t requested) = nullptr;
bool (*g_folderRefusesNewFilesForTesting)(const std::u16string& folder) = nullptr;

namespace {

constexpr DWORD kCopyChunk = 1 << 20;

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

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring InFolder(const std::wstring& folder, const std::u16string& name) {
    return folder + L'\\' + std::wstring(name.begin(), name.end());
}

unsigned NextNumber() {
    static unsigned counter = 0;
    return ++counter;
}

// A name in folder that no file has yet for a backup of target.
std::wstring BackupName(const std::wstring& folder, const std::wstring& target) {
    const std::wstring name = target.substr(target.find_last_of(L'\\') + 1);
    return InFolder(folder, SaveBackupFileName(U16(name), GetCurrentProcessId(), NextNumber()));
}

// A new, empty temporary file in folder with the given protection (null:
// the folder's).
FileHandle CreateTempFile(const std::wstring& folder, SECURITY_ATTRIBUTES* protection,
                          std::wstring& name) {
    if (g_folderRefusesNewFilesForTesting && g_folderRefusesNewFilesForTesting(U16(folder)))
        return FileHandle();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = InFolder(folder, SaveTempFileName(GetCurrentProcessId(), NextNumber()));
        FileHandle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, protection,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
            return file;
    }
    return FileHandle();
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

// The new bytes in a complete temporary file; false, with nothing left
// behind, when they cannot be written.
bool WriteTempFile(FileHandle file, const std::wstring& temp, const ByteProducer& produce) {
    const bool written = WriteProduced(file.get(), produce) && Finish(file.get());
    if (file.Close() && written)
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

// Where a save's record goes; none without a spare folder.
std::u16string RecordPath(const std::wstring& spare) {
    return spare.empty()
               ? std::u16string()
               : U16(InFolder(spare, SaveRecordFileName(GetCurrentProcessId(), NextNumber())));
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
// would be replaced instead of the file it leads to. Under Wine a new file
// gets the process's own Unix owner and group, and ReplaceFileW carries
// over none of the old file's mode bits; no Win32 call reads or sets the
// group, so there only writing in place keeps the file what it is.
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
                   const std::wstring& spare, std::u16string& keptBackup) {
    const std::wstring backup = BackupName(FolderOf(target), target);
    const SaveRecordScope record(RecordPath(spare), U16(target), U16(backup));
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

// A backup copy of the target in the making: a temporary file, renamed to
// the backup's name once complete, so that a crash while copying leaves
// only a temporary file to clear away.
struct Backup {
    FileHandle copy;
    std::wstring temp;
    std::wstring name;
};

// Beside the target, or in the spare folder when the target's folder takes
// no new file.
bool StartBackup(const std::wstring& target, const std::wstring& spare,
                 SECURITY_ATTRIBUTES* protection, Backup& backup) {
    for (const std::wstring& folder : {FolderOf(target), spare}) {
        if (folder.empty())
            continue;
        backup.copy = CreateTempFile(folder, protection, backup.temp);
        if (backup.copy) {
            backup.name = BackupName(folder, target);
            return true;
        }
    }
    return false;
}

bool CompleteBackup(HANDLE file, Backup& backup) {
    const bool copied = CopyContent(file, backup.copy.get());
    if (backup.copy.Close() && copied &&
        MoveFileExW(backup.temp.c_str(), backup.name.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(backup.temp.c_str());
    return false;
}

// Puts the backup's bytes back into the target; the backup goes only once
// the target holds them again.
bool RestoreFromBackup(HANDLE file, const std::wstring& backup) {
    FileHandle copy(CreateFileW(backup.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!copy || !CopyContent(copy.get(), file))
        return false;
    copy.Close();
    DeleteFileW(backup.c_str());
    return true;
}

// Writes into the target itself, which stays the same file with all it has,
// after a complete backup of its old bytes that is put back should the
// write fail. The record of the overwrite names the backup before the
// backup exists: a crash leaves no backup that nothing names.
bool OverwriteInPlace(HANDLE file, const std::wstring& target, const std::wstring& spare,
                      const ByteProducer& produce, std::u16string& keptBackup) {
    CopyProtection protection(file);
    Backup backup;
    if (!StartBackup(target, spare, protection.Attributes(), backup))
        return false;
    const SaveRecordScope record(RecordPath(spare), U16(target), U16(backup.name));
    if (!CompleteBackup(file, backup))
        return false;
    if (Rewind(file) && WriteProduced(file, produce) && Finish(file)) {
        DeleteFileW(backup.name.c_str());
        return true;
    }
    if (!RestoreFromBackup(file, backup.name))
        keptBackup = U16(backup.name);
    return false;
}

bool CreateTarget(const std::wstring& target, const ByteProducer& produce) {
    std::wstring temp;
    FileHandle file = CreateTempFile(FolderOf(target), nullptr, temp);
    if (!file || !WriteTempFile(std::move(file), temp, produce))
        return false;
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

// The target opened to be written in place. Other programs may read it
// meanwhile. One that holds it open for writing too (a log writer) gets the
// write sharing it asked for, and shared says so: only writing in place
// then keeps the file the one that program writes to.
FileHandle OpenTarget(const std::wstring& target, bool& shared) {
    shared = false;
    FileHandle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (file || GetLastError() != ERROR_SHARING_VIOLATION)
        return file;
    shared = true;
    return FileHandle(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
}

// Replaces or overwrites the existing target, as WriteFileBytesSafely says.
bool ReplaceExisting(const std::wstring& target, DWORD attributes, const std::wstring& spare,
                     const ByteProducer& produce, std::u16string& keptBackup) {
    bool shared = false;
    FileHandle file = OpenTarget(target, shared);
    if (!file)
        return false;
    if (!shared && ReplacingKeepsIdentity(file.get(), target, attributes)) {
        CopyProtection protection(file.get());
        std::wstring temp;
        FileHandle copy = CreateTempFile(FolderOf(target), protection.Attributes(), temp);
        if (copy) {
            file.Close();
            return WriteTempFile(std::move(copy), temp, produce) &&
                   ReplaceTarget(target, temp, attributes, spare, keptBackup);
        }
    }
    return OverwriteInPlace(file.get(), target, spare, produce, keptBackup);
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

bool WriteNewSaveFile(const std::u16string& path, std::string_view bytes) {
    FileHandle file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.get()) && file.Close())
        return true;
    file.Close();
    DeleteFileW(Wide(path));
    return false;
}

bool WriteFileBytesChecked(const std::u16string& path, const ByteProducer& produce,
                           SaveSafety& safety) {
    if (!IsUsablePath(path))
        return Refuse(safety.failure, FileFailure::BadName);
    const std::wstring target = FullPath(path);
    if (target.empty() || target.find_last_of(L'\\') == std::wstring::npos)
        return Refuse(safety.failure, FileFailure::BadName);
    std::wstring spare =
        IsUsablePath(safety.spareFolder) ? FullPath(safety.spareFolder) : std::wstring();
    while (spare.size() > 3 && spare.back() == L'\\')
        spare.pop_back();
    // Checked here because some systems let an administrator write read-only files.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(safety.failure, FileFailure::Folder);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return Refuse(safety.failure, FileFailure::ReadOnly);

    RemoveStaleSaveFiles(U16(FolderOf(target)));
    if (!exists)
        return CreateTarget(target, produce);
    return ReplaceExisting(target, attributes, spare, produce, safety.keptBackup);
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
    // Shared for writing: a log that its writer holds open can be read (on
    // Windows, _wfopen_s would refuse to share). Bytes that change while
    // they are read are read again whole (see ReadText).
    file_ = _wfsopen(Wide(path), L"rb", _SH_DENYNO);
    if (!file_) {
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
    size_ = static_cast<uint64_t>(size);
    return Rewind();
}

bool FileReader::Rewind() {
    position_ = 0;
    return _fseeki64(file_, 0, SEEK_SET) == 0 || Fail(FileFailureFromSystem());
}
