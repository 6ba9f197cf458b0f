// Whole-file I/O for builds without Win32. Paths are stored as UTF-16 like
// everywhere else in the program and become UTF-8 for the system calls.
#include "fileio/file_bytes.h"
#include "fileio/codepage.h"
#include "fileio/text_units.h"
#include "fileio/file_bytes_temp.h"

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

namespace {

constexpr size_t kCopyChunk = 1 << 20;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
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

std::string Narrow(const std::u16string& name) {
    std::string native;
    NativePath(name, native);
    return native;
}

std::string FolderOf(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : target.substr(0, slash);
}

// A name beside the target that no file has yet, for a temporary file or a
// backup of the target.
std::string FreshName(const std::string& target, bool backup) {
    static unsigned counter = 0;
    const uint32_t pid = static_cast<uint32_t>(getpid());
    if (!backup)
        return FolderOf(target) + "/" + Narrow(SaveTempFileName(pid, ++counter));
    std::u16string name;
    const size_t slash = target.find_last_of('/');
    DecodeFromCodePage(kCodePageUtf8, target.substr(slash == std::string::npos ? 0 : slash + 1),
                       name);
    return FolderOf(target) + "/" + Narrow(SaveBackupFileName(name, pid, ++counter));
}

int CreateTempFile(const std::string& target, mode_t mode, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = FreshName(target, false);
        const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 && fchmod(fd, mode) == 0)
            return fd;
        if (fd >= 0) {
            close(fd);
            unlink(name.c_str());
        }
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    return -1;
}

// The permissions a new file gets: the usual 0666 less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A new file in the target's place, given the target's permissions.
bool ReplaceByRename(const std::string& target, const ByteProducer& produce, mode_t mode) {
    std::string temp;
    Descriptor file(CreateTempFile(target, mode, temp));
    if (file.Get() < 0)
        return false;
    const bool written = WriteProduced(file.Get(), produce) && Finish(file.Get());
    if (file.Close() && written && rename(temp.c_str(), target.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

// As on Windows: a complete copy under a temporary name, then the backup name.
bool MakeBackup(int fd, const std::string& target, std::string& backup) {
    std::string temp;
    Descriptor copy(CreateTempFile(target, 0600, temp));
    if (copy.Get() < 0)
        return false;
    const bool copied = CopyContent(fd, copy.Get());
    backup = FreshName(target, true);
    if (copy.Close() && copied && rename(temp.c_str(), backup.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

bool RestoreFromBackup(int fd, const std::string& backup) {
    Descriptor copy(open(backup.c_str(), O_RDONLY | O_CLOEXEC));
    if (copy.Get() < 0 || !CopyContent(copy.Get(), fd))
        return false;
    unlink(backup.c_str());
    return true;
}

// Writes into the file a link leads to or that has several names, after a
// complete backup copy that is put back should the write fail.
bool OverwriteInPlace(int fd, const std::string& target, const ByteProducer& produce,
                      std::u16string& keptBackup) {
    std::string backup;
    if (!MakeBackup(fd, target, backup))
        return false;
    if (lseek(fd, 0, SEEK_SET) == 0 && WriteProduced(fd, produce) && Finish(fd)) {
        unlink(backup.c_str());
        return true;
    }
    if (!RestoreFromBackup(fd, backup))
        DecodeFromCodePage(kCodePageUtf8, backup, keptBackup);
    return false;
}

bool Refuse(FileFailure& why, FileFailure reason) {
    why = reason;
    return false;
}

} // namespace

bool WriteFileBytesChecked(const std::u16string& path, const ByteProducer& produce,
                           std::u16string& backup, FileFailure& why) {
    std::string target;
    if (!NativePath(path, target))
        return Refuse(why, FileFailure::BadName);
    struct stat info;
    const bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && S_ISDIR(info.st_mode))
        return Refuse(why, FileFailure::Folder);
    if (exists && !S_ISREG(info.st_mode))
        return Refuse(why, FileFailure::Device);
    // A file nobody may write counts as read-only, even for the superuser.
    if (exists && (info.st_mode & 0222) == 0)
        return Refuse(why, FileFailure::ReadOnly);

    struct stat folderInfo;
    if (!exists && stat(FolderOf(target).c_str(), &folderInfo) != 0)
        return Refuse(why, FileFailure::FolderNotFound);
    std::u16string folder;
    DecodeFromCodePage(kCodePageUtf8, FolderOf(target), folder);
    RemoveStaleSaveFiles(folder);
    if (!exists)
        return ReplaceByRename(target, produce, NewFileMode());
    struct stat link;
    if (lstat(target.c_str(), &link) == 0 && S_ISREG(link.st_mode) && link.st_nlink == 1)
        return ReplaceByRename(target, produce, info.st_mode & 07777);
    Descriptor file(open(target.c_str(), O_RDWR | O_CLOEXEC));
    return file.Get() >= 0 && OverwriteInPlace(file.Get(), target, produce, backup);
}

void RemoveStaleSaveFiles(const std::u16string& folder) {
    std::string native;
    if (!NativePath(folder, native))
        return;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        uint32_t owner;
        if (ParseSaveTempFileName(std::u16string(name.begin(), name.end()), owner) &&
            kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH)
            unlink((native + "/" + entry->d_name).c_str());
    }
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
    return Rewind();
}

bool FileReader::Rewind() {
    return fseeko(file_, 0, SEEK_SET) == 0 || Fail(FileFailureFromSystem());
}
