#include "fileio/text_file.h"
#include "fileio/byte_scan.h"
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"
#include "fileio/text_units.h"
#include "fileio/utf16_bytes.h"

#include <new>
#include <stdexcept>

namespace {

constexpr size_t kSliceBytes = 64 * 1024;

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

bool IsUtf16(uint32_t codePage) {
    return codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be;
}

// The UTF-16 forms write their signature back, then the units.
bool EncodeUtf16(std::u16string_view text, uint32_t codePage, std::string& bytes) {
    if (text.size() > static_cast<size_t>(kMaxTextLength - 2) / 2)
        return false;
    const bool bigEndian = codePage == kCodePageUtf16Be;
    bytes.clear();
    bytes.reserve(2 + 2 * text.size());
    bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    AppendUtf16Bytes(text, bigEndian, bytes);
    return true;
}

// Lone CR and LF bytes decode to lone breaks in every code page in use, so
// this is the room normalising will need.
size_t LoneBreakBytes(std::string_view bytes) {
    const BreakTally tally = TallyBreaks(bytes.data(), bytes.size());
    return tally.cr + tally.lf - 2 * tally.pairs;
}

// Where the UTF-8 slice that starts at i ends: about kSliceBytes on, before
// a byte that no earlier sequence can claim (a lead claims at most the three
// bytes after it, and only continuation bytes), never between CR and LF.
size_t Utf8SliceEnd(std::string_view bytes, size_t i) {
    if (bytes.size() - i <= kSliceBytes)
        return bytes.size();
    auto continuation = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80;
    };
    size_t end = i + kSliceBytes;
    for (size_t back = 0; back <= 3; ++back) {
        if (!continuation(end - back)) {
            end -= back;
            break;
        }
    }
    if (bytes[end] == '\n' && bytes[end - 1] == '\r')
        --end;
    return end;
}

// Decodes and normalises slice by slice: each slice is small enough to stay
// in the cache between the two steps, so the text itself is written once.
// The room reserved is the most the text can take, one unit per byte plus
// the widened breaks; a text much shorter than that gives the rest back.
bool DecodeUtf8InSlices(std::string_view bytes, size_t spare, std::u16string& text,
                        LineEnding& lineEnding) {
    text.clear();
    text.reserve(bytes.size() + spare);
    LineBreakCounts counts;
    std::u16string slice;
    for (size_t i = 0; i < bytes.size();) {
        const size_t end = Utf8SliceEnd(bytes, i);
        if (!DecodeFromCodePage(kCodePageUtf8, bytes.substr(i, end - i), slice))
            return false;
        AppendNormalized(text, slice, counts);
        i = end;
    }
    if (text.capacity() - text.size() > text.size() / 2)
        text.shrink_to_fit();
    lineEnding = ClassifyLineBreaks(counts);
    return true;
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
    const Signature signature = FindSignature(bytes);
    bool replaced = false;
    if (signature.encoding != TextEncoding::Utf8) {
        encoding = signature.encoding;
        text.clear();
        replaced = AppendUtf16Units(bytes.substr(signature.length),
                                    encoding == TextEncoding::Utf16Be, text);
        lineEnding = NormalizeLineEndings(text);
    } else if (IsWellFormedUtf8(bytes.data(), bytes.size(), signature.length)) {
        encoding = TextEncoding::Utf8;
        if (!DecodeUtf8InSlices(bytes.substr(signature.length), LoneBreakBytes(bytes), text,
                                lineEnding))
            return false;
    } else {
        // The signature bytes belong to the text: they were not a signature.
        encoding = TextEncoding::Ansi;
        replaced = DecodingReplacesBytes(kCodePageAnsi, bytes);
        if (!DecodeFromCodePage(kCodePageAnsi, bytes, text, LoneBreakBytes(bytes)))
            return false;
        lineEnding = NormalizeLineEndings(text);
    }
    if (replacedBytes)
        *replacedBytes = replaced;
    return FitsTextLength(text.size());
}

bool EncodeText(const std::u16string& text, uint32_t codePage, LineEnding lineEnding,
                std::string& bytes) {
    const std::u16string converted = ConvertLineEndingsForSave(text, lineEnding);
    if (IsUtf16(codePage))
        return EncodeUtf16(converted, codePage, bytes);
    bool replaced;
    return EncodeToCodePage(codePage, converted, bytes, replaced);
}

bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding, bool* replacedBytes, FileIdentity* identity) {
    try {
        // Unread, it matches no stamp read after: the identity stays unsettled.
        FileStamp before = {~uint64_t{0}, 0};
        if (identity)
            ReadFileStamp(path, before);
        std::string bytes;
        if (!ReadFileBytes(path, bytes))
            return false;
        if (identity) {
            ContentHash hash;
            hash.add(bytes);
            *identity = IdentityAfterTransfer(path, bytes.size(), hash.value(), &before);
        }
        return DecodeText(bytes, text, encoding, lineEnding, replacedBytes);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool WriteTextFile(const std::u16string& text, const std::u16string& path, uint32_t codePage,
                   LineEnding lineEnding, std::u16string* keptBackup, FileIdentity* identity) {
    try {
        std::string bytes;
        if (!EncodeText(text, codePage, lineEnding, bytes))
            return false;
        ContentHash hash;
        if (identity)
            hash.add(bytes);
        if (!WriteFileBytesSafely(path, bytes, keptBackup))
            return false;
        if (identity)
            *identity = IdentityAfterTransfer(path, bytes.size(), hash.value());
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool EncodingLosesCharacters(const std::u16string& text, uint32_t codePage) {
    if (IsUtf16(codePage))
        return false;
    size_t size;
    bool replaced;
    return MeasureEncoding(codePage, text, size, replaced) && replaced;
}
