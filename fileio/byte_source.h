// Where a load's bytes come from: read front to back in pieces, then once
// more from the start, so that a file never has to be in memory whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class ByteSource {
  public:
    // Up to n bytes into `into`; got is 0 only at the end. False on a read error.
    virtual bool Read(char* into, size_t n, size_t& got) = 0;
    virtual bool Rewind() = 0;
    // The bytes a pass is expected to read, when known; 0 when not.
    virtual uint64_t SizeHint() const { return 0; }

  protected:
    ~ByteSource() = default;
};

// Reads into buffer[held, size) until it is full or the source ends, which
// ended tells; false on a read error.
inline bool FillBuffer(ByteSource& source, std::string& buffer, size_t& held, bool& ended) {
    ended = false;
    while (held < buffer.size()) {
        size_t got = 0;
        if (!source.Read(buffer.data() + held, buffer.size() - held, got))
            return false;
        if (got == 0) {
            ended = true;
            return true;
        }
        held += got;
    }
    return true;
}

// Bytes already in memory, which stay owned by the caller.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    bool Read(char* into, size_t n, size_t& got) override {
        got = std::min(n, bytes_.size() - at_);
        std::memcpy(into, bytes_.data() + at_, got);
        at_ += got;
        return true;
    }
    bool Rewind() override {
        at_ = 0;
        return true;
    }
    uint64_t SizeHint() const override { return bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
};
