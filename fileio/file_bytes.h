// Reading files in pieces, and writes that never leave a file half written.
#pragma once

#include "fileio/byte_source.h"
#include "fileio/file_failure.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// A file opened for reading.
class FileReader final : public ByteSource {
  public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False when the file cannot be opened, is not a regular file, or holds
    // 2 GiB or more (a size that does not fit a signed 32-bit position).
    bool Open(const std::u16string& path);
    bool Read(char* into, size_t n, size_t& got) override;
    bool Rewind() override;
    // The size the file had when opened.
    uint64_t SizeHint() const override { return size_; }
    // Why the last call that failed did; None while none has.
    FileFailure Failure() const { return failure_; }

  private:
    bool Fail(FileFailure failure) {
        failure_ = failure;
        return false;
    }

    FILE* file_ = nullptr;
    FileFailure failure_ = FileFailure::None;
    uint64_t position_ = 0; // bytes read since the last rewind
    uint64_t size_ = 0;
};

// Takes the pieces of a file's new bytes in order; false stops the writing.
using ByteSink = std::function<bool(std::string_view piece)>;
// Hands a file's new bytes to the sink piece by piece; false when it could
// not produce them all or the sink refused one.
using ByteProducer = std::function<bool(const ByteSink& sink)>;

// What a save may use besides the target's folder, and what it reports.
struct SaveSafety {
    // A folder of the user's own (the recovery folder) where the save keeps
    // the record of an overwrite in progress (see save_record.h) and, when
    // the target's folder takes no new file, the backup. Empty: neither.
    std::u16string spareFolder;
    // Set by a failed save whose old bytes did not go back: the backup that
    // holds them, which stays. Empty in every other case.
    std::u16string keptBackup;
    // Why a failed save failed; None after one that succeeded.
    FileFailure failure = FileFailure::None;
};

// Replaces the file's content with bytes, or creates the file. The target
// stays what it is: a link stays a link and the file it leads to gets the
// bytes, hard links stay one file, and attributes, permissions and security
// are kept. Where putting a new file in the target's place keeps all that,
// the bytes go to a temporary file beside it that replaces the target once
// complete; otherwise the target is overwritten in place after a complete
// backup copy, which is put back should the write fail. The backup goes
// beside the target, or into the spare folder when the target's folder
// takes no new file; it is deleted only once the new bytes are complete and
// on the disk. A target that another program holds open for writing is
// opened with the sharing that program allows and overwritten in place.
// The temporary file and the backup get the target's protection. A
// read-only target, a folder and a missing folder fail. Stale temporary
// files that ended processes left in the target's folder are removed.
//
// On failure the target normally holds its old bytes and nothing else is
// left; safety->keptBackup names the backup when they did not go back, and
// safety->failure says why the write failed.
bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes,
                          SaveSafety* safety = nullptr);
// The same for bytes made while they are written; a producer that fails
// fails the write, with the same guarantees. The producer keeps the bytes
// within the 2 GiB limit.
bool WriteFileBytesSafely(const std::u16string& path, const ByteProducer& produce,
                          SaveSafety* safety = nullptr);

// The platform's half of WriteFileBytesSafely: the write itself. It sets
// safety.failure where one of its checks names the cause; else the system's
// last error tells it.
bool WriteFileBytesChecked(const std::u16string& path, const ByteProducer& produce,
                           SaveSafety& safety);

// Test seams. When set, each write a save makes (new bytes, backup copy,
// restore) is cut down to the number of bytes this returns for the
// requested size, as a full disk would.
extern size_t (*g_writeLimitForTesting)(size_t requested);
// When set and true for a folder, a save can create no file in it, as in a
// folder the user may change files in but not add files to.
extern bool (*g_folderRefusesNewFilesForTesting)(const std::u16string& folder);
// When set and true for how far into its file a read starts, that read
// fails, as a disk that stops answering would make it.
extern bool (*g_readFailsForTesting)(uint64_t position);
