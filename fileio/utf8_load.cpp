#include "fileio/utf8_load.h"
#include "fileio/byte_scan.h"
#include "fileio/page_prefault.h"
#include "fileio/text_units.h"
#include "fileio/utf8_decode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

namespace {

// Decoding works on slices this small, so that the room the text is given
// for each is still in the cache when the slice is decoded into it.
constexpr size_t kSliceBytes = 64 * 1024;
constexpr size_t kFirstPieceBytes = 256;

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Moves a cut before bytes[end] (end >= 4) back to where no character and
// no CR LF pair is split: before a byte that no earlier sequence claims (a
// lead claims at most the three bytes after it), and not between CR and LF.
// Bytes with four continuations in a row are not UTF-8; a cut among them
// stays, and the check of the next piece sees the stray continuation.
size_t SafeCut(std::string_view bytes, size_t end) {
    for (size_t back = 0; back <= 3; ++back) {
        if (!IsContinuation(bytes[end - back])) {
            end -= back;
            break;
        }
    }
    if (bytes[end] == '\n' && bytes[end - 1] == '\r')
        --end;
    return end;
}

// Hands the source's bytes to `piece` in order, in pieces that SafeCut
// ends. The buffer starts small and grows to pieceBytes, so that loading a
// short text costs little. This is the one place every byte read passes by.
template <typename Piece> bool ForEachPiece(ByteSource& source, size_t pieceBytes, Piece piece) {
    std::string buffer(std::min(pieceBytes, kFirstPieceBytes), '\0');
    size_t held = 0;
    for (;;) {
        bool ended = false;
        if (!FillBuffer(source, buffer, held, ended))
            return false;
        if (ended)
            return held == 0 || piece(std::string_view(buffer.data(), held));
        if (buffer.size() < pieceBytes) {
            buffer.resize(std::min(pieceBytes, 2 * buffer.size()));
            continue;
        }
        const size_t cut = SafeCut(buffer, pieceBytes - 1);
        if (!piece(std::string_view(buffer.data(), cut)))
            return false;
        std::memmove(buffer.data(), buffer.data() + cut, held - cut);
        held -= cut;
    }
}

// The UTF-16 units well-formed UTF-8 decodes to: one per sequence, so one
// per byte that is no continuation, and one more for each four-byte lead.
// The counters are single bytes, emptied every 255 bytes, so that each
// vector instruction counts as many bytes as it holds.
size_t CountUnits(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t units = bytes.size();
    for (size_t i = 0; i < bytes.size();) {
        const size_t end = std::min(bytes.size(), i + 255);
        uint8_t continuations = 0;
        uint8_t fourByteLeads = 0;
        for (; i < end; ++i) {
            continuations = static_cast<uint8_t>(continuations + ((p[i] & 0xC0) == 0x80));
            fourByteLeads = static_cast<uint8_t>(fourByteLeads + (p[i] >= 0xF0));
        }
        units = units - continuations + fourByteLeads;
    }
    return units;
}

// What the first pass finds: the text's length once its breaks are CR LF.
struct Survey {
    bool utf8 = true;
    bool signature = false;
    size_t units = 0;
};

// Takes the first piece's signature off, telling whether there was one;
// false for a UTF-16 one.
bool SkipSignature(std::string_view& piece, bool& first, bool& signature) {
    if (!first)
        return true;
    first = false;
    if (piece.starts_with("\xFF\xFE") || piece.starts_with("\xFE\xFF"))
        return false;
    signature = piece.starts_with("\xEF\xBB\xBF");
    if (signature)
        piece.remove_prefix(3);
    return true;
}

bool SurveyBytes(ByteSource& source, size_t pieceBytes, Survey& survey) {
    bool first = true;
    return ForEachPiece(source, pieceBytes, [&](std::string_view piece) {
        survey.utf8 = SkipSignature(piece, first, survey.signature) &&
                      IsWellFormedUtf8(piece.data(), piece.size(), 0);
        if (!survey.utf8)
            return false;
        const BreakTally breaks = TallyBreaks(piece.data(), piece.size());
        survey.units += CountUnits(piece) + breaks.cr + breaks.lf - 2 * breaks.pairs;
        return true;
    });
}

// The units decoded so far, text[0, length). The text is kept longer, as
// far as decoding has needed room, so that each unit of room is filled
// once, not once for every slice it was room for.
struct Decoded {
    std::u16string& text;
    size_t length = 0;

    void end() { text.resize(length); }
};

// Decodes a slice into the text's spare room. A slice makes at most two
// units per byte (each lone break); the room stops at the capacity, so the
// text never moves. Bytes that would outgrow it fail here; any other
// difference from what the survey counted fails after the pass.
bool DecodeSlice(std::string_view slice, Decoded& decoded, Utf8Decoding& decoding) {
    std::u16string& text = decoded.text;
    const size_t room = std::min(text.capacity(), decoded.length + 2 * slice.size());
    if (text.size() < room)
        text.resize(room);
    size_t written = 0;
    const bool well = DecodeUtf8Normalized(slice, text.data() + decoded.length,
                                           room - decoded.length, written, decoding);
    decoded.length += written;
    return well;
}

// Decodes a piece slice by slice into text; false, with `malformed` telling
// why, when a slice is not well-formed UTF-8 or outgrows the text's room.
bool DecodePiece(std::string_view piece, Decoded& decoded, Utf8Decoding& decoding,
                 bool& malformed) {
    while (!piece.empty()) {
        const size_t end = piece.size() <= kSliceBytes ? piece.size() : SafeCut(piece, kSliceBytes);
        if (!DecodeSlice(piece.substr(0, end), decoded, decoding)) {
            malformed = !IsWellFormedUtf8(piece.data(), end, 0);
            return false;
        }
        piece.remove_prefix(end);
    }
    return true;
}

// Decodes the second pass into text, which the survey sized; anything that
// differs from what the survey found means that the bytes changed under it.
Utf8Load DecodePieces(ByteSource& source, size_t pieceBytes, const Survey& survey,
                      std::u16string& text, LineEnding& lineEnding, const DecodeWatch* watch) {
    bool first = true;
    bool changed = false;
    bool signature = false;
    Utf8Decoding decoding;
    Decoded decoded{text};
    const bool read = ForEachPiece(source, pieceBytes, [&](std::string_view piece) {
        SkipSignature(piece, first, signature);
        bool malformed = false;
        if (!DecodePiece(piece, decoded, decoding, malformed)) {
            changed = true;
            return false;
        }
        if (watch)
            (*watch)(text.data(), decoded.length, survey.units);
        return true;
    });
    decoded.end();
    if (changed || (read && (text.size() != survey.units || signature != survey.signature)))
        return Utf8Load::Changed;
    if (!read)
        return Utf8Load::Failed;
    lineEnding = ClassifyLineBreaks(decoding.counts);
    return Utf8Load::Loaded;
}

// Spare room kept past a loaded text, so that it can grow a little in place.
size_t SpareFor(size_t units) {
    return std::max<size_t>(units / 64, 32 * 1024);
}

// The units `total` bytes are expected to make, when `bytes` of them made
// `units`; rounded up, and 0 for no bytes.
size_t ProjectUnits(size_t units, size_t bytes, uint64_t total) {
    return bytes == 0 ? 0 : static_cast<size_t>((units * total + bytes - 1) / bytes);
}

// A load in one pass into room reserved from the source's size and from
// the units a byte its first piece made. It gives way to the two passes,
// returning nothing, where that room is not to be had or the text
// outgrows it (lines much shorter further on, or a file growing).
class OnePass {
  public:
    OnePass(uint64_t size, std::u16string& text, const DecodeWatch* watch)
        : size_(size), text_(text), watch_(watch) {}
    ~OnePass() {
        prefault_.reset();
        if (told_ && outcome_ != Utf8Load::Loaded)
            (*watch_)(nullptr, 0, 0);
    }
    OnePass(const OnePass&) = delete;
    OnePass& operator=(const OnePass&) = delete;

    std::optional<Utf8Load> load(ByteSource& source, size_t pieceBytes, TextEncoding& encoding,
                                 LineEnding& lineEnding) {
        bool first = true;
        const bool read = ForEachPiece(source, pieceBytes, [&](std::string_view piece) {
            if (!SkipSignature(piece, first, signature_)) {
                malformed_ = true;
                return false;
            }
            return take(piece);
        });
        decoded_.end();
        if (malformed_)
            outcome_ = Utf8Load::NotUtf8;
        else if (outgrew_)
            return std::nullopt;
        else if (!read)
            outcome_ = Utf8Load::Failed;
        else if (!FitsTextLength(text_.size()))
            outcome_ = Utf8Load::TooLong;
        else
            outcome_ = Utf8Load::Loaded;
        if (outcome_ == Utf8Load::Loaded) {
            encoding = signature_ ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
            lineEnding = ClassifyLineBreaks(decoding_.counts);
        }
        return outcome_;
    }

  private:
    bool take(std::string_view piece) {
        if (consumed_ == 0)
            text_.reserve(2 * piece.size() + SpareFor(0));
        if (!DecodePiece(piece, decoded_, decoding_, malformed_)) {
            outgrew_ = !malformed_;
            return false;
        }
        consumed_ += piece.size();
        const size_t projected = ProjectUnits(decoded_.length, consumed_, size_);
        if (expected_ == 0 && !sizeRoom(projected))
            return false;
        if (projected > text_.capacity()) {
            outgrew_ = true;
            return false;
        }
        if (watch_) {
            told_ = true;
            (*watch_)(text_.data(), decoded_.length, expected_);
        }
        return true;
    }

    // Reserves the room for the text projected from the first piece, a
    // sixteenth more, and brings in what the projection fills beside the
    // decoding; false, to give way, when that room is not to be had.
    bool sizeRoom(size_t projected) {
        expected_ = std::max<size_t>(projected, 1);
        // Any bytes make at most two units a byte; a text longer than a
        // document may be outgrows its room, and the survey tells so.
        const auto room = static_cast<size_t>(
            std::min({uint64_t{projected} + std::max(projected / 16, SpareFor(0)),
                      2 * size_ + SpareFor(0), uint64_t{kMaxTextLength} + 1}));
        try {
            text_.reserve(room);
        } catch (const std::bad_alloc&) {
            outgrew_ = true;
            return false;
        } catch (const std::length_error&) {
            outgrew_ = true;
            return false;
        }
        const size_t filled = std::min(text_.capacity(), projected + projected / 64);
        if (filled > text_.size())
            prefault_.emplace(text_.data() + text_.size(),
                              (filled - text_.size()) * sizeof(char16_t));
        return true;
    }

    const uint64_t size_;
    std::u16string& text_;
    const DecodeWatch* watch_;
    std::optional<PrefaultAlongside> prefault_;
    Decoded decoded_{text_};
    Utf8Decoding decoding_;
    size_t consumed_ = 0; // bytes decoded, the signature aside
    size_t expected_ = 0; // the text's projected length, once the first piece is decoded
    bool signature_ = false;
    bool malformed_ = false;
    bool outgrew_ = false;
    bool told_ = false;
    Utf8Load outcome_ = Utf8Load::Failed;
};

} // namespace

Utf8Load LoadUtf8(ByteSource& source, size_t pieceBytes, std::u16string& text,
                  TextEncoding& encoding, LineEnding& lineEnding, const DecodeWatch* watch) {
    text.clear();
    if (const uint64_t size = source.SizeHint(); size > 0) {
        std::optional<Utf8Load> loaded =
            OnePass(size, text, watch).load(source, pieceBytes, encoding, lineEnding);
        if (loaded)
            return *loaded;
        if (!source.Rewind())
            return Utf8Load::Failed;
        text.clear();
    }
    Survey survey;
    if (!SurveyBytes(source, pieceBytes, survey))
        return survey.utf8 ? Utf8Load::Failed : Utf8Load::NotUtf8;
    if (!FitsTextLength(survey.units))
        return Utf8Load::TooLong;
    if (!source.Rewind())
        return Utf8Load::Failed;
    text.reserve(survey.units + SpareFor(survey.units));
    Utf8Load loaded;
    {
        const PrefaultAlongside room(text.data(), text.capacity() * sizeof(char16_t));
        loaded = DecodePieces(source, pieceBytes, survey, text, lineEnding, watch);
    }
    if (loaded == Utf8Load::Loaded)
        encoding = survey.signature ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    else if (watch)
        (*watch)(nullptr, 0, 0);
    return loaded;
}
