// File stamps for builds without Win32.
#include "fileio/codepage.h"
#include "fileio/file_identity.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

bool NativePath(const std::u16string& path, std::string& native) {
    bool replaced;
    return !path.empty() && path.find(u'\0') == std::u16string::npos &&
           EncodeToCodePage(kCodePageUtf8, path, native, replaced);
}

bool StampOf(const struct stat& info, FileStamp& stamp) {
    if (!S_ISREG(info.st_mode))
        return false;
    stamp.size = static_cast<uint64_t>(info.st_size);
    stamp.lastWrite = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                      static_cast<uint64_t>(info.st_mtim.tv_nsec);
    return true;
}

} // namespace

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp) {
    std::string native;
    struct stat info;
    return NativePath(path, native) && stat(native.c_str(), &info) == 0 && StampOf(info, stamp);
}

bool ReadFileIdentity(const std::u16string& path, FileIdentity& identity) {
    std::string native;
    if (!NativePath(path, native))
        return false;
    std::unique_ptr<FILE, FileCloser> file(fopen(native.c_str(), "rb"));
    struct stat info;
    if (!file || fstat(fileno(file.get()), &info) != 0 || !StampOf(info, identity.stamp))
        return false;
    ContentHash hash;
    std::vector<char> chunk(1 << 20);
    uint64_t read = 0;
    for (size_t got; (got = fread(chunk.data(), 1, chunk.size(), file.get())) > 0; read += got)
        hash.add({chunk.data(), got});
    if (ferror(file.get()) || read != identity.stamp.size)
        return false;
    identity.hash = hash.value();
    identity.known = true;
    return true;
}
