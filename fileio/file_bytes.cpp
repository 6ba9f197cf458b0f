#include "fileio/file_bytes.h"
#include "fileio/text_units.h"

bool FileReader::Read(char* into, size_t n, size_t& got) {
    got = fread(into, 1, n, file_);
    return got != 0 || !ferror(file_) || Fail(FileFailureFromSystem());
}

bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes,
                          std::u16string* keptBackup, FileFailure* failure) {
    if (!FitsTextLength(bytes.size())) {
        if (keptBackup)
            keptBackup->clear();
        if (failure)
            *failure = FileFailure::TooLargeToSave;
        return false;
    }
    return WriteFileBytesSafely(
        path, [bytes](const ByteSink& sink) { return sink(bytes); }, keptBackup, failure);
}

bool WriteFileBytesSafely(const std::u16string& path, const ByteProducer& produce,
                          std::u16string* keptBackup, FileFailure* failure) {
    std::u16string unusedBackup;
    std::u16string& backup = keptBackup ? *keptBackup : unusedBackup;
    backup.clear();
    FileFailure unusedFailure;
    FileFailure& why = failure ? *failure : unusedFailure;
    why = FileFailure::None;
    ClearSystemFailure();
    if (WriteFileBytesChecked(path, produce, backup, why))
        return true;
    if (why == FileFailure::None)
        why = FileFailureFromSystem();
    return false;
}
