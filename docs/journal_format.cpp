#include "docs/journal_format.h"

#include "fileio/text_units.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr std::string_view kSignature("TSJRNL\x02\n", 8);
constexpr size_t kFrameBytes = 12; // payload length, then its hash

enum class Kind : uint8_t { Header = 0, Change = 1, Mark = 2, Form = 3, Matches = 4, Stale = 5 };

template <typename Number> void Put(std::string& out, Number value) {
    for (size_t i = 0; i < sizeof(Number); ++i)
        out += static_cast<char>(static_cast<uint64_t>(value) >> (8 * i) & 0xFF);
}

// Little-endian units, written in one pass: a snapshot copies whole texts.
void PutUnits(std::string& out, std::u16string_view units) {
    const size_t at = out.size();
    out.resize(at + 2 * units.size());
    char* bytes = out.data() + at;
    for (const char16_t unit : units) {
        *bytes++ = static_cast<char>(unit & 0xFF);
        *bytes++ = static_cast<char>(unit >> 8);
    }
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
    // The next `count` bytes, or an empty view past the end.
    std::string_view Bytes(uint64_t count) {
        if (bytes_.size() - at_ < count) {
            ok_ = false;
            return {};
        }
        const std::string_view bytes = bytes_.substr(at_, count);
        at_ += count;
        return bytes;
    }
    std::string_view UnitBytes(uint64_t count) { return Bytes(2 * count); }
    std::u16string String() { return Units(UnitBytes(Get<uint32_t>())); }
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == bytes_.size(); }

    static char16_t Unit(std::string_view bytes, size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    static std::u16string Units(std::string_view bytes) {
        std::u16string units(bytes.size() / 2, u'\0');
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = Unit(bytes, i);
        return units;
    }

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

bool ApplyChange(Reader& fields, size_t payloadSize, TextBuffer& text) {
    if (payloadSize < 9)
        return false;
    const auto position = fields.Get<uint32_t>();
    const auto removed = fields.Get<uint32_t>();
    const size_t count = (payloadSize - 9) / 2;
    const std::u16string inserted = Reader::Units(fields.UnitBytes(count));
    const int64_t length =
        static_cast<int64_t>(text.size()) - removed + static_cast<int64_t>(count);
    if (!fields.ok() || !fields.atEnd() || position > text.size() ||
        removed > text.size() - position || length > kMaxTextLength)
        return false;
    text.erase(position, removed);
    text.insert(position, inserted);
    return true;
}

// The fields of a Replace All record, checked against the text it applies to.
struct MatchesRecord {
    uint32_t count = 0;
    uint32_t oldLength = 0;
    uint32_t newLength = 0;
    bool alike = false;
    std::string_view positions; // count little-endian 32-bit places
    std::string_view units;     // newLength units, or count times that

    uint32_t Position(size_t i) const {
        Reader place(positions.substr(4 * i, 4));
        return place.Get<uint32_t>();
    }
    bool Read(Reader& fields) {
        count = fields.Get<uint32_t>();
        oldLength = fields.Get<uint32_t>();
        newLength = fields.Get<uint32_t>();
        alike = fields.Get<uint8_t>() != 0;
        positions = fields.Bytes(4 * uint64_t{count});
        units = fields.UnitBytes(uint64_t{newLength} * (alike ? 1 : count));
        return fields.ok() && fields.atEnd() && count > 0;
    }
    bool Fits(size_t textSize) const {
        uint64_t free = 0; // where the next match may start
        for (size_t i = 0; i < count; ++i) {
            const uint64_t at = Position(i);
            if (at < free || at + oldLength > textSize)
                return false;
            free = at + oldLength;
        }
        const int64_t length = static_cast<int64_t>(textSize) +
                               int64_t{count} * (int64_t{newLength} - int64_t{oldLength});
        return length <= kMaxTextLength;
    }
};

// Appends text[from, to) to `out`.
void AppendRange(std::u16string& out, const TextBuffer& text, size_t from, size_t to) {
    const size_t at = out.size();
    out.resize(at + (to - from));
    text.copy(from, to - from, out.data() + at);
}

bool ApplyMatches(Reader& fields, TextBuffer& text) {
    MatchesRecord m;
    if (!m.Read(fields) || !m.Fits(text.size()))
        return false;
    const std::u16string units = Reader::Units(m.units);
    std::u16string rebuilt;
    rebuilt.reserve(text.size() + size_t{m.count} * m.newLength - size_t{m.count} * m.oldLength);
    size_t from = 0;
    for (size_t i = 0; i < m.count; ++i) {
        const size_t at = m.Position(i);
        AppendRange(rebuilt, text, from, at);
        rebuilt.append(
            std::u16string_view(units).substr(m.alike ? 0 : i * m.newLength, m.newLength));
        from = at + m.oldLength;
    }
    AppendRange(rebuilt, text, from, text.size());
    text.assign(std::move(rebuilt));
    return true;
}

bool ApplyForm(Reader& fields, JournalReplay& replay) {
    const auto encoding = fields.Get<uint8_t>();
    const auto lineEnding = fields.Get<uint8_t>();
    if (!fields.ok() || !fields.atEnd() || encoding > static_cast<uint8_t>(TextEncoding::Utf16Be) ||
        lineEnding > static_cast<uint8_t>(LineEnding::Mixed))
        return false;
    replay.encoding = static_cast<TextEncoding>(encoding);
    replay.lineEnding = static_cast<LineEnding>(lineEnding);
    return true;
}

// Carries out one record; false when it is not one that fits the text.
bool Apply(std::string_view payload, TextBuffer& text, JournalReplay& replay) {
    Reader fields(payload.substr(1));
    switch (static_cast<Kind>(payload[0])) {
    case Kind::Change:
        return ApplyChange(fields, payload.size(), text);
    case Kind::Matches:
        return ApplyMatches(fields, text);
    case Kind::Form:
        return ApplyForm(fields, replay);
    case Kind::Mark:
        replay.marked = replay.marked || payload.size() == 1;
        return payload.size() == 1;
    case Kind::Stale:
        replay.stale = payload.size() == 1;
        return false;
    case Kind::Header:
        break;
    }
    return false;
}

// Parts a journal into its header's payload and the records after it;
// false without a signature and a sound header.
bool SplitJournal(std::string_view bytes, std::string_view& header, std::string_view& records) {
    if (bytes.substr(0, kSignature.size()) != kSignature)
        return false;
    records = bytes.substr(kSignature.size());
    return NextPayload(records, header) && header[0] == static_cast<char>(Kind::Header);
}

bool ReadHeaderFields(std::string_view payload, JournalHeader& header) {
    Reader fields(payload.substr(1));
    JournalHeader read;
    read.documentId = fields.Get<uint64_t>();
    read.generation = fields.Get<uint32_t>();
    read.snapshot = fields.Get<uint8_t>() != 0;
    read.disk.known = fields.Get<uint8_t>() != 0;
    read.disk.stamp.size = fields.Get<uint64_t>();
    read.disk.stamp.lastWrite = fields.Get<uint64_t>();
    read.disk.hash = fields.Get<uint64_t>();
    const auto encoding = fields.Get<uint8_t>();
    const auto lineEnding = fields.Get<uint8_t>();
    read.replacedBytes = fields.Get<uint8_t>() != 0;
    read.path = fields.String();
    read.displayName = fields.String();
    if (!fields.ok() || !fields.atEnd() || encoding > static_cast<uint8_t>(TextEncoding::Utf16Be) ||
        lineEnding > static_cast<uint8_t>(LineEnding::Mixed))
        return false;
    read.encoding = static_cast<TextEncoding>(encoding);
    read.lineEnding = static_cast<LineEnding>(lineEnding);
    header = std::move(read);
    return true;
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
    Put<uint8_t>(out, header.replacedBytes);
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

bool AppendJournalMatches(std::string& out, const ReplacedMatches& m, bool putInserted) {
    const size_t count = m.positions.size();
    const std::u16string_view units = putInserted ? m.inserted : m.removed;
    const uint64_t payload = 14 + 4 * uint64_t{count} + 2 * uint64_t{units.size()};
    if (count == 0 || payload > std::numeric_limits<uint32_t>::max())
        return false;
    const auto newLength = static_cast<uint32_t>(putInserted ? m.inserted.size() : m.length);
    const auto oldLength = static_cast<uint32_t>(putInserted ? m.length : m.inserted.size());
    // Undone, each match sits where the insertions before it moved it.
    const int64_t growth = putInserted ? 0 : int64_t{newLength} - int64_t{oldLength};
    out.reserve(out.size() + kFrameBytes + payload);
    Framed framed(out, Kind::Matches);
    Put(out, static_cast<uint32_t>(count));
    Put(out, oldLength);
    Put(out, newLength);
    Put<uint8_t>(out, units.size() == newLength);
    // Written in one pass, as units are: a 1 GB text's Replace All has 10
    // million matches, and the record is made inside the command.
    const size_t at = out.size();
    out.resize(at + 4 * count);
    char* bytes = out.data() + at;
    for (size_t i = 0; i < count; ++i) {
        const auto position =
            static_cast<uint32_t>(m.positions[i] - static_cast<int64_t>(i) * growth);
        for (int shift = 0; shift < 32; shift += 8)
            *bytes++ = static_cast<char>(position >> shift & 0xFF);
    }
    PutUnits(out, units);
    return true;
}

void AppendJournalForm(std::string& out, TextEncoding encoding, LineEnding lineEnding) {
    Framed framed(out, Kind::Form);
    Put<uint8_t>(out, static_cast<uint8_t>(encoding));
    Put<uint8_t>(out, static_cast<uint8_t>(lineEnding));
}

void AppendJournalMark(std::string& out) {
    Framed framed(out, Kind::Mark);
}

void AppendJournalStale(std::string& out) {
    Framed framed(out, Kind::Stale);
}

bool ReadJournalHeader(std::string_view bytes, JournalHeader& header) {
    std::string_view payload;
    std::string_view records;
    return SplitJournal(bytes, payload, records) && ReadHeaderFields(payload, header);
}

JournalReplay ReplayJournal(std::string_view bytes, TextBuffer& text) {
    JournalReplay replay;
    std::string_view payload;
    std::string_view rest;
    JournalHeader header;
    if (!SplitJournal(bytes, payload, rest) || !ReadHeaderFields(payload, header))
        return replay;
    replay.header = true;
    replay.encoding = header.encoding;
    replay.lineEnding = header.lineEnding;
    replay.soundBytes = bytes.size() - rest.size();
    std::string_view record;
    while (!rest.empty()) {
        std::string_view next = rest;
        if (!NextPayload(next, record) || !Apply(record, text, replay))
            return replay;
        rest = next;
        replay.soundBytes = bytes.size() - rest.size();
    }
    replay.whole = true;
    return replay;
}
