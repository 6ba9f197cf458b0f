#include "docs/journal_format.h"

#include <limits>

namespace {

constexpr std::string_view kSignature("TSJRNL\x01\n", 8);
constexpr size_t kFrameBytes = 12; // payload length, then its hash

enum class Kind : uint8_t { Header = 0, Change = 1, Mark = 2 };

template <typename Number> void Put(std::string& out, Number value) {
    for (size_t i = 0; i < sizeof(Number); ++i)
        out += static_cast<char>(static_cast<uint64_t>(value) >> (8 * i) & 0xFF);
}

void PutUnits(std::string& out, std::u16string_view units) {
    for (char16_t unit : units)
        Put<uint16_t>(out, unit);
}

void PutString(std::string& out, std::u16string_view units) {
    Put<uint32_t>(out, static_cast<uint32_t>(units.size()));
    PutUnits(out, units);
}

// Frames a payload written after out's current end, once it is complete.
class Framed {
  public:
    Framed(std::string& out, Kind kind) : out_(out), start_(out.size()) {
        out_.append(kFrameBytes, '\0');
        Put(out_, static_cast<uint8_t>(kind));
    }
    ~Framed() {
        const std::string_view payload = std::string_view(out_).substr(start_ + kFrameBytes);
        std::string frame;
        Put<uint32_t>(frame, static_cast<uint32_t>(payload.size()));
        Put<uint64_t>(frame, HashBytes(payload));
        out_.replace(start_, kFrameBytes, frame);
    }
    Framed(const Framed&) = delete;
    Framed& operator=(const Framed&) = delete;

  private:
    std::string& out_;
    size_t start_;
};

// Reads little-endian fields; any read past the end fails the whole reader.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    template <typename Number> Number Get() {
        if (bytes_.size() - at_ < sizeof(Number)) {
            ok_ = false;
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < sizeof(Number); ++i)
            value |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        at_ += sizeof(Number);
        return static_cast<Number>(value);
    }
    std::u16string Units(size_t count) {
        std::u16string units;
        if ((bytes_.size() - at_) / 2 < count) {
            ok_ = false;
            return units;
        }
        units.resize(count);
        for (char16_t& unit : units)
            unit = Get<uint16_t>();
        return units;
    }
    std::u16string String() { return Units(Get<uint32_t>()); }
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

// Takes the next whole, sound record's payload off the front of `rest`.
bool NextPayload(std::string_view& rest, std::string_view& payload) {
    Reader frame(rest);
    const auto length = frame.Get<uint32_t>();
    const auto hash = frame.Get<uint64_t>();
    if (!frame.ok() || rest.size() - kFrameBytes < length)
        return false;
    payload = rest.substr(kFrameBytes, length);
    if (payload.empty() || HashBytes(payload) != hash)
        return false;
    rest.remove_prefix(kFrameBytes + length);
    return true;
}

bool ApplyChange(Reader& fields, size_t payloadSize, std::u16string& text) {
    if (payloadSize < 9)
        return false;
    const auto position = fields.Get<uint32_t>();
    const auto removed = fields.Get<uint32_t>();
    const size_t count = (payloadSize - 9) / 2;
    std::u16string inserted = fields.Units(count);
    const uint64_t length = uint64_t{text.size()} - removed + count;
    if (!fields.ok() || !fields.atEnd() || position > text.size() ||
        removed > text.size() - position || length > uint64_t{std::numeric_limits<int32_t>::max()})
        return false;
    text.replace(position, removed, inserted);
    return true;
}

// Parts a journal into its header's payload and the records after it;
// false without a signature and a sound header.
bool SplitJournal(std::string_view bytes, std::string_view& header, std::string_view& records) {
    if (bytes.substr(0, kSignature.size()) != kSignature)
        return false;
    records = bytes.substr(kSignature.size());
    return NextPayload(records, header) && header[0] == static_cast<char>(Kind::Header);
}

} // namespace

void AppendJournalHeader(std::string& out, const JournalHeader& header) {
    out += kSignature;
    Framed framed(out, Kind::Header);
    Put(out, header.documentId);
    Put(out, header.generation);
    Put<uint8_t>(out, header.snapshot);
    Put<uint8_t>(out, header.disk.known);
    Put(out, header.disk.stamp.size);
    Put(out, header.disk.stamp.lastWrite);
    Put(out, header.disk.hash);
    Put<uint8_t>(out, static_cast<uint8_t>(header.encoding));
    Put<uint8_t>(out, static_cast<uint8_t>(header.lineEnding));
    PutString(out, header.path);
    PutString(out, header.displayName);
}

void AppendJournalChange(std::string& out, uint32_t position, uint32_t removed,
                         std::u16string_view inserted) {
    Framed framed(out, Kind::Change);
    Put(out, position);
    Put(out, removed);
    PutUnits(out, inserted);
}

void AppendJournalMark(std::string& out) {
    Framed framed(out, Kind::Mark);
}

bool ReadJournalHeader(std::string_view bytes, JournalHeader& header) {
    std::string_view payload;
    std::string_view records;
    if (!SplitJournal(bytes, payload, records))
        return false;
    Reader fields(payload.substr(1));
    JournalHeader read;
    read.documentId = fields.Get<uint64_t>();
    read.generation = fields.Get<uint32_t>();
    read.snapshot = fields.Get<uint8_t>() != 0;
    read.disk.known = fields.Get<uint8_t>() != 0;
    read.disk.stamp.size = fields.Get<uint64_t>();
    read.disk.stamp.lastWrite = fields.Get<uint64_t>();
    read.disk.hash = fields.Get<uint64_t>();
    read.encoding = static_cast<TextEncoding>(fields.Get<uint8_t>());
    read.lineEnding = static_cast<LineEnding>(fields.Get<uint8_t>());
    read.path = fields.String();
    read.displayName = fields.String();
    if (!fields.ok() || !fields.atEnd())
        return false;
    header = std::move(read);
    return true;
}

JournalReplay ReplayJournal(std::string_view bytes, std::u16string& text) {
    JournalReplay replay;
    std::string_view payload;
    std::string_view rest;
    if (!SplitJournal(bytes, payload, rest))
        return replay;
    while (!rest.empty() && NextPayload(rest, payload)) {
        Reader fields(payload.substr(1));
        const auto kind = static_cast<Kind>(payload[0]);
        if (kind == Kind::Mark && payload.size() == 1)
            replay.marked = true;
        else if (kind != Kind::Change || !ApplyChange(fields, payload.size(), text))
            return replay;
    }
    replay.whole = rest.empty();
    return replay;
}
