#include "fileio/file_failure.h"

#include <windows.h>

FileFailure FileFailureFromSystem() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
        return FileFailure::NotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return FileFailure::FolderNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return FileFailure::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FileFailure::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileFailure::DiskFull;
    case ERROR_WRITE_PROTECT:
        return FileFailure::WriteProtected;
    case ERROR_NOT_READY:
        return FileFailure::NotReady;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_UNEXP_NET_ERR:
        return FileFailure::Unreachable;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return FileFailure::BadName;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
    case ERROR_GEN_FAILURE:
        return FileFailure::DeviceError;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return FileFailure::OutOfMemory;
    case ERROR_FILE_TOO_LARGE:
        return FileFailure::TooLarge;
    default:
        return FileFailure::Other;
    }
}

void ClearSystemFailure() {
    SetLastError(0);
}
