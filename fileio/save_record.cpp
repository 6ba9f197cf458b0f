#include "fileio/save_record.h"

#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"
#include "fileio/file_identity.h"

#include <cstdint>
#include <utility>

namespace {

constexpr std::string_view kMagic = "Tessary save record 1\n";
// A record is a few hundred bytes: anything far larger is no record.
constexpr size_t kMaxRecordBytes = 1 << 20;
constexpr size_t kCopyPiece = 1 << 20;

void AppendUnits(std::string& bytes, const std::u16string& units) {
    const auto count = static_cast<uint32_t>(units.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((count >> shift) & 0xFF);
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
}

bool TakeUnits(std::string_view& bytes, std::u16string& units) {
    if (bytes.size() < 4)
        return false;
    uint32_t count = 0;
    for (int i = 3; i >= 0; --i)
        count = (count << 8) | static_cast<unsigned char>(bytes[i]);
    bytes.remove_prefix(4);
    if (count == 0 || bytes.size() / 2 < count)
        return false;
    units.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    bytes.remove_prefix(2 * size_t{count});
    return true;
}

bool ReadRecord(const std::u16string& path, std::string& bytes) {
    FileReader reader;
    if (!reader.Open(path))
        return false;
    std::string piece(4096, '\0');
    size_t got = 0;
    do {
        if (!reader.Read(piece.data(), piece.size(), got))
            return false;
        bytes.append(piece, 0, got);
    } while (got != 0 && bytes.size() <= kMaxRecordBytes);
    return got == 0;
}

bool SameBytes(const std::u16string& a, const std::u16string& b) {
    FileIdentity first;
    FileIdentity second;
    return ReadFileIdentity(a, first) && ReadFileIdentity(b, second) &&
           first.stamp.size == second.stamp.size && first.hash == second.hash;
}

} // namespace

std::string EncodeSaveRecord(const std::u16string& target, const std::u16string& backup) {
    std::string bytes(kMagic);
    AppendUnits(bytes, target);
    AppendUnits(bytes, backup);
    return bytes;
}

bool DecodeSaveRecord(std::string_view bytes, std::u16string& target, std::u16string& backup) {
    if (!bytes.starts_with(kMagic))
        return false;
    bytes.remove_prefix(kMagic.size());
    return TakeUnits(bytes, target) && TakeUnits(bytes, backup) && bytes.empty();
}

SaveRecordScope::SaveRecordScope(std::u16string path, const std::u16string& target,
                                 const std::u16string& backup)
    : path_(std::move(path)) {
    if (!path_.empty() && !WriteNewSaveFile(path_, EncodeSaveRecord(target, backup)))
        path_.clear();
}

SaveRecordScope::~SaveRecordScope() {
    if (!path_.empty())
        DeleteSaveFile(path_);
}

std::vector<InterruptedSave> CollectInterruptedSaves(const std::u16string& folder) {
    std::vector<InterruptedSave> saves;
    RemoveStaleSaveFiles(folder);
    for (const SaveFileEntry& entry : SaveFilesIn(folder)) {
        uint32_t owner;
        if (!ParseSaveRecordFileName(entry.name, owner) || SaveOwnerMayBeRunning(owner))
            continue;
        InterruptedSave save;
        save.record = entry.path;
        std::string bytes;
        if (!ReadRecord(entry.path, bytes))
            continue; // kept: perhaps readable at the next start
        FileStamp backup;
        if (!DecodeSaveRecord(bytes, save.target, save.backup) ||
            !ReadFileStamp(save.backup, backup)) {
            DeleteSaveFile(save.record);
            continue;
        }
        if (SameBytes(save.target, save.backup)) {
            DeleteSaveFile(save.backup);
            DeleteSaveFile(save.record);
            continue;
        }
        saves.push_back(std::move(save));
    }
    return saves;
}

bool RestoreInterruptedSave(const InterruptedSave& save, const std::u16string& spareFolder) {
    auto produce = [&](const ByteSink& sink) {
        FileReader backup;
        if (!backup.Open(save.backup))
            return false;
        std::string piece(kCopyPiece, '\0');
        for (size_t got = 0;;) {
            if (!backup.Read(piece.data(), piece.size(), got))
                return false;
            if (got == 0)
                return true;
            if (!sink(std::string_view(piece.data(), got)))
                return false;
        }
    };
    SaveSafety safety;
    safety.spareFolder = spareFolder;
    if (!WriteFileBytesSafely(save.target, produce, &safety))
        return false;
    DeleteSaveFile(save.backup);
    DeleteSaveFile(save.record);
    return true;
}

void DismissInterruptedSave(const InterruptedSave& save) {
    DeleteSaveFile(save.record);
}
