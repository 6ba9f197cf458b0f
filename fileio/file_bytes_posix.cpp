// Whole-file I/O for builds without Win32. Paths are stored as UTF-16 like
// everywhere else in the program and become UTF-8 for the system calls.
#include "fileio/file_bytes.h"
#include "fileio/codepage.h"
#include "fileio/text_units.h"

#include <fcntl.h>
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

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// The UTF-8 form of path; false for a path that cannot name a file.
bool NativePath(const std::u16string& path, std::string& native) {
    bool replaced;
    return !path.empty() && path.find(u'\0') == std::u16string::npos &&
           EncodeToCodePage(kCodePageUtf8, path, native, replaced);
}

bool ReadOpenFile(FILE* file, std::string& bytes) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    const int64_t size = ftello(file);
    if (size < 0 || size > kMaxTextLength || fseeko(file, 0, SEEK_SET) != 0)
        return false;
    bytes.assign(static_cast<size_t>(size), '\0');
    return size == 0 || fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        size_t chunk = bytes.size();
        if (g_writeLimitForTesting)
            chunk = std::min(chunk, g_writeLimitForTesting(chunk));
        const ssize_t written = chunk == 0 ? -1 : write(fd, bytes.data(), chunk);
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return fsync(fd) == 0;
}

// The permissions a new file gets: those of an existing target, else the
// usual 0666 less the process's umask.
mode_t NewFileMode(bool exists, const struct stat& target) {
    if (exists)
        return target.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool ReadFileBytes(const std::u16string& path, std::string& bytes) {
    std::string native;
    if (!NativePath(path, native))
        return false;
    std::unique_ptr<FILE, FileCloser> file(fopen(native.c_str(), "rb"));
    return file && ReadOpenFile(file.get(), bytes);
}

bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes) {
    std::string target;
    if (!NativePath(path, target) || !FitsTextLength(bytes.size()))
        return false;
    struct stat info;
    const bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    // A file nobody may write counts as read-only, even for the superuser.
    if (exists && (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0))
        return false;

    const size_t slash = target.find_last_of('/');
    std::string temp = (slash == std::string::npos ? std::string(".") : target.substr(0, slash)) +
                       "/.tessary-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    const bool written = fchmod(fd, NewFileMode(exists, info)) == 0 && WriteAll(fd, bytes);
    if (close(fd) != 0 || !written || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}
