// File stamps through Win32.
#include "fileio/file_identity.h"
#include "fileio/wide.h"
#include "winkit/win_handles.h"

#include <windows.h>

#include <vector>

namespace {

uint64_t Join(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

bool StampOf(const BY_HANDLE_FILE_INFORMATION& info, FileStamp& stamp) {
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    stamp.size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.lastWrite = Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return true;
}

} // namespace

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.lastWrite = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool ReadFileIdentity(const std::u16string& path, FileIdentity& identity) {
    if (path.empty())
        return false;
    const FileHandle file(CreateFileW(Wide(path), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    const HANDLE raw = file.get();
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(raw, &info) || !StampOf(info, identity.stamp))
        return false;
    ContentHash hash;
    std::vector<char> chunk(1 << 20);
    uint64_t read = 0;
    for (DWORD got = 0;; read += got) {
        if (!ReadFile(raw, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr))
            return false;
        if (got == 0)
            break;
        hash.add({chunk.data(), got});
    }
    if (read != identity.stamp.size)
        return false;
    identity.hash = hash.value();
    identity.known = true;
    return true;
}
