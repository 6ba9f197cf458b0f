// Why a file could not be opened or saved, in words a user understands:
// the second line of "Failed to open file." and "Failed to save file.".
#pragma once

#include <cstdint>
#include <string_view>

enum class FileFailure : int32_t {
    None,
    Other, // nothing more precise is known
    NotFound,
    FolderNotFound,
    Folder,
    Device,
    AccessDenied,
    ReadOnly,
    InUse,
    TooLarge,       // to open: more than 2 GiB, or more text than a document holds
    TooLargeToSave, // the bytes would pass 2 GiB
    DiskFull,
    WriteProtected,
    NotReady,
    Unreachable, // a network location
    BadName,
    DeviceError,
    OutOfMemory,
};

// The sentence that says why; empty for None and Other.
std::u16string_view FileFailureReason(FileFailure failure, bool saving);

// What the system's last error (GetLastError, errno) says went wrong.
FileFailure FileFailureFromSystem();
// Clears the system's last error, so that a failure no system call reported
// reads as Other rather than as an earlier error.
void ClearSystemFailure();
