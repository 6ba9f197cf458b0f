#include "fileio/file_bytes.h"
#include "fileio/text_units.h"

bool (*g_readFailsForTesting)(uint64_t position) = nullptr;

bool FileReader::Read(char* into, size_t n, size_t& got) {
    got = 0;
    if (g_readFailsForTesting && g_readFailsForTesting(position_))
        return Fail(FileFailure::Other);
    got = fread(into, 1, n, file_);
    position_ += got;
    return got != 0 || !ferror(file_) || Fail(FileFailureFromSystem());
}

bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes, SaveSafety* safety) {
    if (!FitsTextLength(bytes.size())) {
        if (safety) {
            safety->keptBackup.clear();
            safety->failure = FileFailure::TooLargeToSave;
        }
        return false;
    }
    return WriteFileBytesSafely(
        path, [bytes](const ByteSink& sink) { return sink(bytes); }, safety);
}

bool WriteFileBytesSafely(const std::u16string& path, const ByteProducer& produce,
                          SaveSafety* safety) {
    SaveSafety unused;
    SaveSafety& outcome = safety ? *safety : unused;
    outcome.keptBackup.clear();
    outcome.failure = FileFailure::None;
    ClearSystemFailure();
    if (WriteFileBytesChecked(path, produce, outcome))
        return true;
    if (outcome.failure == FileFailure::None)
        outcome.failure = FileFailureFromSystem();
    return false;
}
