#include "fileio/file_failure.h"

#include <cerrno>

FileFailure FileFailureFromSystem() {
    switch (errno) {
    case ENOENT:
        return FileFailure::NotFound;
    case ENOTDIR:
        return FileFailure::FolderNotFound;
    case EISDIR:
        return FileFailure::Folder;
    case EACCES:
    case EPERM:
        return FileFailure::AccessDenied;
    case EROFS:
        return FileFailure::WriteProtected;
    case ETXTBSY:
    case EBUSY:
        return FileFailure::InUse;
    case ENOSPC:
    case EDQUOT:
        return FileFailure::DiskFull;
    case ENAMETOOLONG:
        return FileFailure::BadName;
    case EIO:
        return FileFailure::DeviceError;
    case ENOMEM:
        return FileFailure::OutOfMemory;
    case EFBIG:
    case EOVERFLOW:
        return FileFailure::TooLarge;
    default:
        return FileFailure::Other;
    }
}

void ClearSystemFailure() {
    errno = 0;
}
