#include "fileio/file_failure.h"

#include "winkit/program_name.h"

std::u16string_view FileFailureReason(FileFailure failure, bool saving) {
    switch (failure) {
    case FileFailure::NotFound:
        return u"The file does not exist.";
    case FileFailure::FolderNotFound:
        return u"The folder does not exist.";
    case FileFailure::Folder:
        return u"The name is that of a folder, not of a file.";
    case FileFailure::Device:
        return u"The name is one that Windows keeps for a device (such as CON, NUL, COM1 or "
               u"LPT1, with or without an extension), not a file.";
    case FileFailure::AccessDenied:
        return saving ? u"You do not have permission to save to this file or folder."
                      : u"You do not have permission to open this file.";
    case FileFailure::ReadOnly:
        return u"The file is read-only.";
    case FileFailure::InUse:
        return u"Another program is using the file.";
    case FileFailure::TooLarge:
        return u"The file is too large: " TESSARY_NAME u" opens files of up to 2 GB whose "
               u"text has at most 2,147,483,647 characters.";
    case FileFailure::TooLargeToSave:
        return u"The file would be larger than 2 GB, the most " TESSARY_NAME u" can save.";
    case FileFailure::DiskFull:
        return u"There is not enough space on the disk.";
    case FileFailure::WriteProtected:
        return u"The disk is write-protected.";
    case FileFailure::NotReady:
        return u"The drive is not ready.";
    case FileFailure::Unreachable:
        return u"The network location cannot be reached.";
    case FileFailure::BadName:
        return u"The file name or path is not valid.";
    case FileFailure::DeviceError:
        return saving ? u"The disk could not be written to." : u"The disk could not be read.";
    case FileFailure::OutOfMemory:
        return u"There is not enough memory.";
    default:
        return {};
    }
}
