// The one owner of handles that CloseHandle gives back: open files above
// all, and the processes a save asks about. Reading and writing files, the
// recovery journals and the benchmarks share it.
#pragma once

#include <windows.h>

#include <utility>

// Closed at the end of its scope. Both failure values of the system's
// calls (INVALID_HANDLE_VALUE from CreateFileW, null from OpenProcess)
// count as no handle.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) { reset(handle); }
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept : handle_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    // The caller owns the handle from now on.
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        Close();
        handle_ = handle ? handle : INVALID_HANDLE_VALUE;
    }
    // False when there was no handle or closing it failed, which for a file
    // written to can mean that its last bytes did not reach the disk.
    bool Close() {
        const HANDLE handle = release();
        return handle != INVALID_HANDLE_VALUE && CloseHandle(handle);
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
