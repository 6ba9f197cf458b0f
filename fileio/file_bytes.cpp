#include "fileio/file_bytes.h"
#include "fileio/text_units.h"

bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes, SaveSafety* safety) {
    if (!FitsTextLength(bytes.size())) {
        if (safety)
            safety->keptBackup.clear();
        return false;
    }
    return WriteFileBytesSafely(
        path, [bytes](const ByteSink& sink) { return sink(bytes); }, safety);
}
