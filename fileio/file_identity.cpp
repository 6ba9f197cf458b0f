#include "fileio/file_identity.h"

#include <cstring>

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87u;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Fu;

uint64_t Load64(const unsigned char* bytes) {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i)
        word = (word << 8) | bytes[i];
    return word;
}

uint64_t Rotate(uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

uint64_t Round(uint64_t lane, uint64_t word) {
    return Rotate(lane + word * kPrime2, 31) * kPrime1;
}

uint64_t Avalanche(uint64_t h) {
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime1;
    return h ^ (h >> 32);
}

} // namespace

void ContentHash::mix(const unsigned char* stripe) {
    // Four independent lanes keep the multiplier busy on long files.
    for (int lane = 0; lane < 4; ++lane)
        lanes_[lane] = Round(lanes_[lane], Load64(stripe + 8 * lane));
}

void ContentHash::add(std::string_view bytes) {
    auto* next = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t left = bytes.size();
    total_ += left;
    if (pendingCount_ > 0) {
        const size_t take = left < 32 - pendingCount_ ? left : 32 - pendingCount_;
        std::memcpy(pending_ + pendingCount_, next, take);
        pendingCount_ += take;
        next += take;
        left -= take;
        if (pendingCount_ < 32)
            return;
        mix(pending_);
        pendingCount_ = 0;
    }
    for (; left >= 32; next += 32, left -= 32)
        mix(next);
    std::memcpy(pending_, next, left);
    pendingCount_ = left;
}

uint64_t ContentHash::value() const {
    uint64_t h =
        Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) + Rotate(lanes_[3], 18);
    h ^= total_ * kPrime1;
    for (size_t i = 0; i < pendingCount_; ++i)
        h = Rotate(h ^ (pending_[i] * kPrime2), 11) * kPrime1;
    return Avalanche(h);
}

FileIdentity IdentityAfterTransfer(const std::u16string& path, uint64_t size, uint64_t hash,
                                   const FileStamp* before) {
    FileIdentity identity;
    identity.known = true;
    identity.hash = hash;
    const bool settled = ReadFileStamp(path, identity.stamp) && identity.stamp.size == size &&
                         (!before || *before == identity.stamp);
    if (!settled)
        identity.stamp = {size, ~uint64_t{0}};
    return identity;
}
