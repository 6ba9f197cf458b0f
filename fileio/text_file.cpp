#include "fileio/text_file.h"
#include "fileio/byte_scan.h"
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"
#include "fileio/file_paths.h"
#include "fileio/text_encode.h"
#include "fileio/text_units.h"
#include "fileio/utf16_load.h"
#include "fileio/utf32_bytes.h"
#include "fileio/utf8_load.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Large enough that reading costs few calls, small enough to stay cached.
constexpr size_t kPieceBytes = 1 << 20;
constexpr size_t kStretchUnits = 1 << 18;

struct Signature {
    TextEncoding encoding; // Ansi when there is none
    size_t length;
};

// The signatures of the forms LoadUtf8 and LoadUtf16 leave to the whole bytes.
Signature FindSignature(std::string_view bytes) {
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
        return {TextEncoding::Utf32Le, 4};
    if (bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return {TextEncoding::Utf32Be, 4};
    return {TextEncoding::Ansi, 0};
}

// Lone CR and LF bytes decode to lone breaks in every code page in use, so
// this is the room normalising will need.
size_t LoneBreakBytes(std::string_view bytes) {
    const BreakTally tally = TallyBreaks(bytes.data(), bytes.size());
    return tally.cr + tally.lf - 2 * tally.pairs;
}

// The forms LoadUtf8 and LoadUtf16 leave to the whole bytes: UTF-32 by its
// signature, else the ANSI code page, signature bytes included (they were
// none).
FileFailure DecodeOtherForms(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                             LineEnding& lineEnding, bool& replaced) {
    const Signature signature = FindSignature(bytes);
    const std::string_view body = bytes.substr(signature.length);
    encoding = signature.encoding;
    text.clear();
    if (encoding == TextEncoding::Ansi) {
        replaced = DecodingReplacesBytes(kCodePageAnsi, bytes);
        const size_t spare = LoneBreakBytes(bytes) + std::max<size_t>(bytes.size() / 64, 32 * 1024);
        if (!DecodeFromCodePage(kCodePageAnsi, bytes, text, spare))
            return FileFailure::Other;
    } else {
        replaced = AppendUtf32Units(body, encoding == TextEncoding::Utf32Be, text);
    }
    lineEnding = NormalizeLineEndings(text);
    return FitsTextLength(text.size()) ? FileFailure::None : FileFailure::TooLarge;
}

FileFailure DecodeWhole(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                        LineEnding& lineEnding, bool* replacedBytes);

// UTF-16 in pieces as UTF-8 is read; the rest from the whole bytes.
template <typename WholeBytes>
FileFailure LoadOtherForms(ByteSource& source, WholeBytes wholeBytes, std::u16string& text,
                           TextEncoding& encoding, LineEnding& lineEnding, bool& replaced) {
    if (!source.Rewind())
        return FileFailure::Other;
    switch (LoadUtf16(source, kPieceBytes, text, encoding, lineEnding, replaced)) {
    case Utf16Load::Loaded:
        return FileFailure::None;
    case Utf16Load::NotUtf16:
        break;
    case Utf16Load::TooLong:
        return FileFailure::TooLarge;
    case Utf16Load::Failed: {
        // A read that failed fails again here; bytes that changed between
        // the passes are read once more, whole, and taken for what they are.
        std::string_view bytes;
        const FileFailure read = wholeBytes(bytes);
        return read != FileFailure::None
                   ? read
                   : DecodeWhole(bytes, text, encoding, lineEnding, &replaced);
    }
    }
    std::string_view bytes;
    const FileFailure read = wholeBytes(bytes);
    if (read != FileFailure::None)
        return read;
    return DecodeOtherForms(bytes, text, encoding, lineEnding, replaced);
}

// Loads the text from source; wholeBytes gives all its bytes at once for
// the forms that need them, and for bytes that changed between the passes
// of a UTF-8 load: read in one pass, they are one version of the file.
template <typename WholeBytes>
FileFailure LoadText(ByteSource& source, WholeBytes wholeBytes, std::u16string& text,
                     TextEncoding& encoding, LineEnding& lineEnding, bool* replacedBytes,
                     const DecodeWatch* decoded = nullptr) {
    bool replaced = false;
    FileFailure failure = FileFailure::None;
    std::string_view bytes;
    switch (LoadUtf8(source, kPieceBytes, text, encoding, lineEnding, decoded)) {
    case Utf8Load::Loaded:
        break;
    case Utf8Load::NotUtf8:
        failure = LoadOtherForms(source, wholeBytes, text, encoding, lineEnding, replaced);
        break;
    case Utf8Load::Changed:
        failure = wholeBytes(bytes);
        if (failure == FileFailure::None)
            failure = DecodeWhole(bytes, text, encoding, lineEnding, &replaced);
        break;
    case Utf8Load::TooLong:
        failure = FileFailure::TooLarge;
        break;
    case Utf8Load::Failed:
        failure = FileFailure::Other;
        break;
    }
    if (replacedBytes)
        *replacedBytes = replaced;
    return failure;
}

FileFailure DecodeWhole(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                        LineEnding& lineEnding, bool* replacedBytes) {
    MemorySource source(bytes);
    auto wholeBytes = [bytes](std::string_view& whole) {
        whole = bytes;
        return FileFailure::None;
    };
    return LoadText(source, wholeBytes, text, encoding, lineEnding, replacedBytes);
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
    uint64_t SizeHint() const override { return inner_.SizeHint(); }
    uint64_t Hash() const { return hash_.value(); }
    uint64_t Count() const { return count_; }

  private:
    ByteSource& inner_;
    ContentHash hash_;
    uint64_t count_ = 0;
};

// Tells the watch of every piece before it is read; a watch that says stop
// fails the read.
class WatchedSource final : public ByteSource {
  public:
    WatchedSource(ByteSource& inner, const ReadWatch* watch) : inner_(inner), watch_(watch) {}
    bool Read(char* into, size_t n, size_t& got) override {
        if (watch_ && watch_->read && !watch_->read(read_))
            return false;
        if (!inner_.Read(into, n, got))
            return false;
        read_ += got;
        return true;
    }
    bool Rewind() override { return inner_.Rewind(); }
    uint64_t SizeHint() const override { return inner_.SizeHint(); }

  private:
    ByteSource& inner_;
    const ReadWatch* watch_;
    uint64_t read_ = 0;
};

// A read error is the file's to tell.
FileFailure ReadAll(ByteSource& file, std::string& bytes) {
    if (!file.Rewind())
        return FileFailure::Other;
    bytes.clear();
    std::string piece(kPieceBytes, '\0');
    size_t got = 0;
    do {
        if (!file.Read(piece.data(), piece.size(), got))
            return FileFailure::Other;
        bytes.append(piece, 0, got);
    } while (got != 0);
    return FitsTextLength(bytes.size()) ? FileFailure::None : FileFailure::TooLarge;
}

// Runs work, which tells how it failed; running out of memory is a failure
// too.
template <typename Work> FileFailure FailingWhenOutOfMemory(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return FileFailure::OutOfMemory;
    } catch (const std::length_error&) {
        return FileFailure::OutOfMemory;
    }
}

FileFailure& Outcome(FileFailure* failure, FileFailure& unused) {
    return failure ? *failure : unused;
}

FileFailure ReadSource(ByteSource& source, std::u16string& text, TextEncoding& encoding,
                       LineEnding& lineEnding, bool* replacedBytes,
                       const DecodeWatch* decoded = nullptr) {
    std::string all;
    auto wholeBytes = [&](std::string_view& whole) {
        const FileFailure read = ReadAll(source, all);
        whole = all;
        return read;
    };
    return LoadText(source, wholeBytes, text, encoding, lineEnding, replacedBytes, decoded);
}

} // namespace

bool DecodeText(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                LineEnding& lineEnding, bool* replacedBytes) {
    return DecodeWhole(bytes, text, encoding, lineEnding, replacedBytes) == FileFailure::None;
}

bool EncodeText(const std::u16string& text, TextEncoding encoding, LineEnding lineEnding,
                std::string& bytes) {
    bytes.clear();
    const std::u16string_view pieces[] = {text};
    return EncodePieces(pieces, encoding, lineEnding, kStretchUnits, [&](std::string_view piece) {
        bytes += piece;
        return true;
    });
}

bool ReadText(ByteSource& source, std::u16string& text, TextEncoding& encoding,
              LineEnding& lineEnding, bool* replacedBytes) {
    return ReadSource(source, text, encoding, lineEnding, replacedBytes) == FileFailure::None;
}

bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding, bool* replacedBytes, FileIdentity* identity,
                  FileFailure* failure, const ReadWatch* watch) {
    FileFailure unused;
    FileFailure& why = Outcome(failure, unused);
    if (NamesDevice(path)) {
        why = FileFailure::Device;
        return false;
    }
    why = FailingWhenOutOfMemory([&] {
        // Unread, it matches no stamp read after: the identity stays unsettled.
        FileStamp before = {~uint64_t{0}, 0};
        if (identity)
            ReadFileStamp(path, before);
        FileReader file;
        if (!file.Open(path))
            return file.Failure();
        WatchedSource watched(file, watch);
        HashingSource source(watched);
        const FileFailure loaded = ReadSource(source, text, encoding, lineEnding, replacedBytes,
                                              watch && watch->decoded ? &watch->decoded : nullptr);
        if (loaded != FileFailure::None)
            return file.Failure() != FileFailure::None ? file.Failure() : loaded;
        if (identity)
            *identity = IdentityAfterTransfer(path, source.Count(), source.Hash(), &before);
        return FileFailure::None;
    });
    return why == FileFailure::None;
}

bool WriteTextFile(TextPieces text, const std::u16string& path, TextEncoding encoding,
                   LineEnding lineEnding, SaveSafety* safety, FileIdentity* identity) {
    SaveSafety unused;
    SaveSafety& outcome = safety ? *safety : unused;
    FileFailure& why = outcome.failure;
    if (NamesDevice(path)) {
        outcome.keptBackup.clear();
        why = FileFailure::Device;
        return false;
    }
    ContentHash hash;
    uint64_t count = 0;
    bool tooLarge = false;
    FileFailure encoded = FileFailure::None;
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
        encoded = FailingWhenOutOfMemory([&] {
            return EncodePieces(text, encoding, lineEnding, kStretchUnits, hashed, &tooLarge)
                       ? FileFailure::None
                       : FileFailure::Other;
        });
        return encoded == FileFailure::None;
    };
    why = FailingWhenOutOfMemory([&] {
        return WriteFileBytesSafely(path, produce, &outcome) ? FileFailure::None : outcome.failure;
    });
    if (why == FileFailure::None) {
        if (identity)
            *identity = IdentityAfterTransfer(path, count, hash.value());
        return true;
    }
    // The bytes' own reasons come before what the file layer saw of them.
    if (tooLarge)
        why = FileFailure::TooLargeToSave;
    else if (encoded == FileFailure::OutOfMemory)
        why = encoded;
    return false;
}

bool WriteTextFile(const std::u16string& text, const std::u16string& path, TextEncoding encoding,
                   LineEnding lineEnding, SaveSafety* safety, FileIdentity* identity) {
    const std::u16string_view pieces[] = {text};
    return WriteTextFile(pieces, path, encoding, lineEnding, safety, identity);
}

bool EncodingLosesCharacters(TextPieces text, TextEncoding encoding) {
    return PiecesLoseCharacters(text, encoding, kStretchUnits);
}

bool EncodingLosesCharacters(const std::u16string& text, TextEncoding encoding) {
    const std::u16string_view pieces[] = {text};
    return EncodingLosesCharacters(pieces, encoding);
}
