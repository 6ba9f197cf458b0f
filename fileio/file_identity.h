// What a document knows of its file as last loaded or saved, so that a
// change made by another program can be told from its own: size and
// last-write time are cheap to read again; the hash of the bytes settles the
// cases they leave open (a write within the time stamp's resolution, a
// touch that changed nothing).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct FileStamp {
    uint64_t size = 0;
    // The system's last-write time in its own units; only compared for equality.
    uint64_t lastWrite = 0;

    bool operator==(const FileStamp&) const = default;
};

struct FileIdentity {
    bool known = false; // false: no file behind the document yet
    FileStamp stamp;
    uint64_t hash = 0; // ContentHash of all the bytes

    bool operator==(const FileIdentity&) const = default;
};

// A fast 64-bit hash of a byte sequence fed in pieces: the same bytes give the
// same value however they are split. Not cryptographic: it tells changes
// apart, it does not resist forgery.
class ContentHash {
  public:
    void add(std::string_view bytes);
    uint64_t value() const;

  private:
    void mix(const unsigned char* stripe);

    uint64_t lanes_[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u,
                          0x27D4EB2F165667C5u};
    unsigned char pending_[32] = {};
    size_t pendingCount_ = 0;
    uint64_t total_ = 0;
};

inline uint64_t HashBytes(std::string_view bytes) {
    ContentHash hash;
    hash.add(bytes);
    return hash.value();
}

// The file's size and last-write time; false when it cannot be read (no such
// file, a folder, no access).
bool ReadFileStamp(const std::u16string& path, FileStamp& stamp);
// Stamp and hash of the file as it is now, its bytes read in pieces; false
// when it cannot be read whole.
bool ReadFileIdentity(const std::u16string& path, FileIdentity& identity);
// The identity of size bytes hashing to hash that were just read from or
// written to path, with its stamp read now. When that stamp is not before's
// (given for a read), or the size is not the bytes' size, another program
// wrote in between: the stamp kept then matches no file, so that the next
// check compares hashes instead of trusting a stamp of other bytes.
FileIdentity IdentityAfterTransfer(const std::u16string& path, uint64_t size, uint64_t hash,
                                   const FileStamp* before = nullptr);
