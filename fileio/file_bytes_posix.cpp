// Whole-file I/O for builds without Win32. Paths are stored as UTF-16 like
// everywhere else in the program and become UTF-8 for the system calls.
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"
#include "fileio/save_record.h"
#include "fileio/text_units.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

size_t (*g_writeLimitForTesting)(size_t requested) = nullptr;
bool (*g_folderRefusesNewFilesForTesting)(const std::u16string& folder) = nullptr;

namespace {

constexpr size_t kCopyChunk = 1 << 20;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    bool Close() {
        const bool closed = fd_ >= 0 && close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

  private:
    int fd_;
};

// The UTF-8 form of path; false for a path that cannot name a file.
bool NativePath(const std::u16string& path, std::string& native) {
    bool replaced;
    return !path.empty() && path.find(u'\0') == std::u16string::npos &&
           EncodeToCodePage(kCodePageUtf8, path, native, replaced);
}

std::string Narrow(const std::u16string& name) {
    std::string native;
    NativePath(name, native);
    return native;
}

std::u16string Widen(const std::string& native) {
    std::u16string path;
    DecodeFromCodePage(kCodePageUtf8, native, path);
    return path;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        size_t chunk = bytes.size();
        if (g_writeLimitForTesting)
            chunk = std::min(chunk, g_writeLimitForTesting(chunk));
        if (chunk == 0) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t written = write(fd, bytes.data(), chunk);
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool WriteProduced(int fd, const ByteProducer& produce) {
    return produce([fd](std::string_view piece) { return WriteAll(fd, piece); });
}

// Ends the file where its content ends and puts it on the disk.
bool Finish(int fd) {
    const off_t end = lseek(fd, 0, SEEK_CUR);
    return end >= 0 && ftruncate(fd, end) == 0 && fsync(fd) == 0;
}

// Makes to's content the same as from's, from the start of both.
bool CopyContent(int from, int to) {
    if (lseek(from, 0, SEEK_SET) != 0 || lseek(to, 0, SEEK_SET) != 0)
        return false;
    std::string buffer(kCopyChunk, '\0');
    for (;;) {
        const ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            return Finish(to);
        if (!WriteAll(to, std::string_view(buffer.data(), static_cast<size_t>(got))))
            return false;
    }
}

std::string FolderOf(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : target.substr(0, slash);
}

unsigned NextNumber() {
    static unsigned counter = 0;
    return ++counter;
}

uint32_t ProcessId() {
    return static_cast<uint32_t>(getpid());
}

// A name in folder that no file has yet for a backup of target.
std::string BackupName(const std::string& folder, const std::string& target) {
    const size_t slash = target.find_last_of('/');
    const std::u16string name = Widen(target.substr(slash == std::string::npos ? 0 : slash + 1));
    return folder + "/" + Narrow(SaveBackupFileName(name, ProcessId(), NextNumber()));
}

Descriptor CreateTempFile(const std::string& folder, mode_t mode, std::string& name) {
    if (g_folderRefusesNewFilesForTesting && g_folderRefusesNewFilesForTesting(Widen(folder)))
        return Descriptor();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/" + Narrow(SaveTempFileName(ProcessId(), NextNumber()));
        Descriptor file(open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file.Get() >= 0 && fchmod(file.Get(), mode) == 0)
            return file;
        if (file.Get() >= 0) {
            file.Close();
            unlink(name.c_str());
            break;
        }
        if (errno != EEXIST)
            break;
    }
    return Descriptor();
}

// The permissions a new file gets: the usual 0666 less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Where a save's record goes; none without a spare folder.
std::u16string RecordPath(const std::string& spare) {
    return spare.empty()
               ? std::u16string()
               : Widen(spare + "/" + Narrow(SaveRecordFileName(ProcessId(), NextNumber())));
}

// A new file in the target's place, given the target's permissions; false,
// with nothing written, when no file can be made beside it.
bool ReplaceByRename(const std::string& target, const ByteProducer& produce, mode_t mode,
                     bool& made) {
    std::string temp;
    Descriptor file = CreateTempFile(FolderOf(target), mode, temp);
    made = file.Get() >= 0;
    if (!made)
        return false;
    const bool written = WriteProduced(file.Get(), produce) && Finish(file.Get());
    if (file.Close() && written && rename(temp.c_str(), target.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

// As on Windows: a complete copy under a temporary name, then the backup
// name, beside the target or in the spare folder; readable by its owner
// alone.
struct Backup {
    Descriptor copy;
    std::string temp;
    std::string name;
};

bool StartBackup(const std::string& target, const std::string& spare, Backup& backup) {
    for (const std::string& folder : {FolderOf(target), spare}) {
        if (folder.empty())
            continue;
        backup.copy = CreateTempFile(folder, 0600, backup.temp);
        if (backup.copy.Get() >= 0) {
            backup.name = BackupName(folder, target);
            return true;
        }
    }
    return false;
}

bool CompleteBackup(int fd, Backup& backup) {
    const bool copied = CopyContent(fd, backup.copy.Get());
    if (backup.copy.Close() && copied && rename(backup.temp.c_str(), backup.name.c_str()) == 0)
        return true;
    unlink(backup.temp.c_str());
    return false;
}

bool RestoreFromBackup(int fd, const std::string& backup) {
    Descriptor copy(open(backup.c_str(), O_RDONLY | O_CLOEXEC));
    if (copy.Get() < 0 || !CopyContent(copy.Get(), fd))
        return false;
    unlink(backup.c_str());
    return true;
}

// Writes into the file itself after a complete backup copy that is put
// back should the write fail.
bool OverwriteInPlace(int fd, const std::string& target, const std::string& spare,
                      const ByteProducer& produce, std::u16string& keptBackup) {
    Backup backup;
    if (!StartBackup(target, spare, backup))
        return false;
    const SaveRecordScope record(RecordPath(spare), Widen(target), Widen(backup.name));
    if (!CompleteBackup(fd, backup))
        return false;
    if (lseek(fd, 0, SEEK_SET) == 0 && WriteProduced(fd, produce) && Finish(fd)) {
        unlink(backup.name.c_str());
        return true;
    }
    if (!RestoreFromBackup(fd, backup.name))
        keptBackup = Widen(backup.name);
    return false;
}

bool Refuse(FileFailure& why, FileFailure reason) {
    why = reason;
    return false;
}

} // namespace

bool WriteFileBytesChecked(const std::u16string& path, const ByteProducer& produce,
                           SaveSafety& safety) {
    std::string target;
    if (!NativePath(path, target))
        return Refuse(safety.failure, FileFailure::BadName);
    std::string spare;
    if (!safety.spareFolder.empty())
        NativePath(safety.spareFolder, spare);
    struct stat info;
    const bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && S_ISDIR(info.st_mode))
        return Refuse(safety.failure, FileFailure::Folder);
    if (exists && !S_ISREG(info.st_mode))
        return Refuse(safety.failure, FileFailure::Device);
    // A file nobody may write counts as read-only, even for the superuser.
    if (exists && (info.st_mode & 0222) == 0)
        return Refuse(safety.failure, FileFailure::ReadOnly);

    struct stat folderInfo;
    if (!exists && stat(FolderOf(target).c_str(), &folderInfo) != 0)
        return Refuse(safety.failure, FileFailure::FolderNotFound);
    RemoveStaleSaveFiles(Widen(FolderOf(target)));
    bool made = false;
    if (!exists)
        return ReplaceByRename(target, produce, NewFileMode(), made);
    struct stat link;
    if (lstat(target.c_str(), &link) == 0 && S_ISREG(link.st_mode) && link.st_nlink == 1) {
        const bool replaced = ReplaceByRename(target, produce, info.st_mode & 07777, made);
        // Only a folder that takes no new file sends the save in place.
        if (made)
            return replaced;
    }
    Descriptor file(open(target.c_str(), O_RDWR | O_CLOEXEC));
    return file.Get() >= 0 &&
           OverwriteInPlace(file.Get(), target, spare, produce, safety.keptBackup);
}

std::vector<SaveFileEntry> SaveFilesIn(const std::u16string& folder) {
    std::vector<SaveFileEntry> entries;
    std::string native;
    if (!NativePath(folder, native))
        return entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir)
        return entries;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        const std::string path = native + "/" + name;
        struct stat info;
        if (name.starts_with("~tessary-") && lstat(path.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode))
            entries.push_back({Widen(name), Widen(path)});
    }
    return entries;
}

bool SaveOwnerMayBeRunning(uint32_t processId) {
    return kill(static_cast<pid_t>(processId), 0) == 0 || errno != ESRCH;
}

bool WriteNewSaveFile(const std::u16string& path, std::string_view bytes) {
    std::string native;
    if (!NativePath(path, native))
        return false;
    Descriptor file(open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        return false;
    if (write(file.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
        fsync(file.Get()) == 0 && file.Close())
        return true;
    file.Close();
    unlink(native.c_str());
    return false;
}

bool DeleteSaveFile(const std::u16string& path) {
    std::string native;
    return NativePath(path, native) && unlink(native.c_str()) == 0;
}

FileReader::~FileReader() {
    if (file_)
        fclose(file_);
}

bool FileReader::Open(const std::u16string& path) {
    std::string native;
    if (file_)
        return Fail(FileFailure::Other);
    if (!NativePath(path, native))
        return Fail(FileFailure::BadName);
    file_ = fopen(native.c_str(), "rb");
    struct stat info;
    if (!file_ || fstat(fileno(file_), &info) != 0)
        return Fail(FileFailureFromSystem());
    if (!S_ISREG(info.st_mode))
        return Fail(S_ISDIR(info.st_mode) ? FileFailure::Folder : FileFailure::Device);
    if (fseeko(file_, 0, SEEK_END) != 0)
        return Fail(FileFailureFromSystem());
    const int64_t size = ftello(file_);
    if (size < 0 || size > kMaxTextLength)
        return Fail(FileFailure::TooLarge);
    size_ = static_cast<uint64_t>(size);
    return Rewind();
}

bool FileReader::Rewind() {
    position_ = 0;
    return fseeko(file_, 0, SEEK_SET) == 0 || Fail(FileFailureFromSystem());
}
