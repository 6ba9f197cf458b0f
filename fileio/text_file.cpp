#include "fileio/text_file.h"
#include "fileio/byte_scan.h"
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"
#include "fileio/text_encode.h"
#include "fileio/text_units.h"
#include "fileio/utf16_bytes.h"
#include "fileio/utf8_load.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Large enough that reading costs few calls, small enough to stay cached.
constexpr size_t kPieceBytes = 1 << 20;
constexpr size_t kStretchUnits = 1 << 18;

struct Signature {
    TextEncoding encoding; // Utf8 also when there is none
    size_t length;
};

Signature FindSignature(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3};
    if (bytes.starts_with("\xFF\xFE"))
        return {TextEncoding::Utf16Le, 2};
    if (bytes.starts_with("\xFE\xFF"))
        return {TextEncoding::Utf16Be, 2};
    return {TextEncoding::Utf8, 0};
}

// Lone CR and LF bytes decode to lone breaks in every code page in use, so
// this is the room normalising will need.
size_t LoneBreakBytes(std::string_view bytes) {
    const BreakTally tally = TallyBreaks(bytes.data(), bytes.size());
    return tally.cr + tally.lf - 2 * tally.pairs;
}

// The forms LoadUtf8 leaves to the whole bytes: UTF-16 by its signature,
// else the ANSI code page, signature bytes included (they were none).
bool DecodeOtherForms(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                      LineEnding& lineEnding, bool& replaced) {
    const Signature signature = FindSignature(bytes);
    if (signature.encoding != TextEncoding::Utf8) {
        encoding = signature.encoding;
        text.clear();
        replaced = AppendUtf16Units(bytes.substr(signature.length),
                                    encoding == TextEncoding::Utf16Be, text);
    } else {
        encoding = TextEncoding::Ansi;
        replaced = DecodingReplacesBytes(kCodePageAnsi, bytes);
        const size_t spare = LoneBreakBytes(bytes) + std::max<size_t>(bytes.size() / 64, 32 * 1024);
        if (!DecodeFromCodePage(kCodePageAnsi, bytes, text, spare))
            return false;
    }
    lineEnding = NormalizeLineEndings(text);
    return FitsTextLength(text.size());
}

// Loads the text from source; wholeBytes gives all its bytes at once for
// the forms that need them, and for bytes that changed between the passes
// of a UTF-8 load: read in one pass, they are one version of the file.
template <typename WholeBytes>
bool LoadText(ByteSource& source, WholeBytes wholeBytes, std::u16string& text,
              TextEncoding& encoding, LineEnding& lineEnding, bool* replacedBytes) {
    bool replaced = false;
    std::string_view bytes;
    switch (LoadUtf8(source, kPieceBytes, text, lineEnding)) {
    case Utf8Load::Loaded:
        encoding = TextEncoding::Utf8;
        break;
    case Utf8Load::NotUtf8:
        if (!wholeBytes(bytes) || !DecodeOtherForms(bytes, text, encoding, lineEnding, replaced))
            return false;
        break;
    case Utf8Load::Changed:
        return wholeBytes(bytes) && DecodeText(bytes, text, encoding, lineEnding, replacedBytes);
    case Utf8Load::Failed:
        return false;
    }
    if (replacedBytes)
        *replacedBytes = replaced;
    return true;
}

// Hashes the bytes read since the last rewind: once a load is done, those
// of the pass that read the file to its end.
class HashingSource final : public ByteSource {
  public:
    explicit HashingSource(ByteSource& inner) : inner_(inner) {}
    bool Read(char* into, size_t n, size_t& got) override {
        if (!inner_.Read(into, n, got))
            return false;
        hash_.add({into, got});
        count_ += got;
        return true;
    }
    bool Rewind() override {
        hash_ = {};
        count_ = 0;
        return inner_.Rewind();
    }
    uint64_t Hash() const { return hash_.value(); }
    uint64_t Count() const { return count_; }

  private:
    ByteSource& inner_;
    ContentHash hash_;
    uint64_t count_ = 0;
};

bool ReadAll(ByteSource& file, std::string& bytes) {
    if (!file.Rewind())
        return false;
    bytes.clear();
    std::string piece(kPieceBytes, '\0');
    size_t got = 0;
    do {
        if (!file.Read(piece.data(), piece.size(), got))
            return false;
        bytes.append(piece, 0, got);
    } while (got != 0);
    return FitsTextLength(bytes.size());
}

template <typename Work> bool FailingWhenOutOfMemory(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace

uint32_t CodePageForEncoding(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Ansi:
        return kCodePageAnsi;
    case TextEncoding::Utf16Le:
        return kCodePageUtf16Le;
    case TextEncoding::Utf16Be:
        return kCodePageUtf16Be;
    default:
        return kCodePageUtf8;
    }
}

bool DecodeText(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                LineEnding& lineEnding, bool* replacedBytes) {
    MemorySource source(bytes);
    auto wholeBytes = [bytes](std::string_view& whole) {
        whole = bytes;
        return true;
    };
    return LoadText(source, wholeBytes, text, encoding, lineEnding, replacedBytes);
}

bool EncodeText(const std::u16string& text, uint32_t codePage, LineEnding lineEnding,
                std::string& bytes) {
    bytes.clear();
    const std::u16string_view pieces[] = {text};
    return EncodePieces(pieces, codePage, lineEnding, kStretchUnits, [&](std::string_view piece) {
        bytes += piece;
        return true;
    });
}

bool ReadText(ByteSource& source, std::u16string& text, TextEncoding& encoding,
              LineEnding& lineEnding, bool* replacedBytes) {
    std::string all;
    auto wholeBytes = [&](std::string_view& whole) {
        if (!ReadAll(source, all))
            return false;
        whole = all;
        return true;
    };
    return LoadText(source, wholeBytes, text, encoding, lineEnding, replacedBytes);
}

bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding, bool* replacedBytes, FileIdentity* identity) {
    return FailingWhenOutOfMemory([&] {
        // Unread, it matches no stamp read after: the identity stays unsettled.
        FileStamp before = {~uint64_t{0}, 0};
        if (identity)
            ReadFileStamp(path, before);
        FileReader file;
        if (!file.Open(path))
            return false;
        HashingSource source(file);
        if (!ReadText(source, text, encoding, lineEnding, replacedBytes))
            return false;
        if (identity)
            *identity = IdentityAfterTransfer(path, source.Count(), source.Hash(), &before);
        return true;
    });
}

bool WriteTextFile(TextPieces text, const std::u16string& path, uint32_t codePage,
                   LineEnding lineEnding, SaveSafety* safety, FileIdentity* identity) {
    ContentHash hash;
    uint64_t count = 0;
    // The bytes are made while the file is written: running out of memory
    // must fail the write, so that the old file comes back.
    auto produce = [&](const ByteSink& sink) {
        hash = {};
        count = 0;
        auto hashed = [&](std::string_view piece) {
            hash.add(piece);
            count += piece.size();
            return sink(piece);
        };
        return FailingWhenOutOfMemory(
            [&] { return EncodePieces(text, codePage, lineEnding, kStretchUnits, hashed); });
    };
    if (!FailingWhenOutOfMemory([&] { return WriteFileBytesSafely(path, produce, safety); }))
        return false;
    if (identity)
        *identity = IdentityAfterTransfer(path, count, hash.value());
    return true;
}

bool WriteTextFile(const std::u16string& text, const std::u16string& path, uint32_t codePage,
                   LineEnding lineEnding, SaveSafety* safety, FileIdentity* identity) {
    const std::u16string_view pieces[] = {text};
    return WriteTextFile(pieces, path, codePage, lineEnding, safety, identity);
}

bool EncodingLosesCharacters(TextPieces text, uint32_t codePage) {
    return PiecesLoseCharacters(text, codePage, kStretchUnits);
}

bool EncodingLosesCharacters(const std::u16string& text, uint32_t codePage) {
    const std::u16string_view pieces[] = {text};
    return EncodingLosesCharacters(pieces, codePage);
}
