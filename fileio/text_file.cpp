#include "fileio/text_file.h"
#include "fileio/byte_scan.h"
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace {

constexpr size_t kMaxTextLength = std::numeric_limits<int32_t>::max();
constexpr size_t kSliceBytes = 64 * 1024;

size_t SignatureLength(std::string_view bytes) {
    return bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
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
    return encoding == TextEncoding::Ansi ? kCodePageAnsi : kCodePageUtf8;
}

bool DecodeText(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                LineEnding& lineEnding) {
    const size_t signature = SignatureLength(bytes);
    const size_t spare = LoneBreakBytes(bytes);
    if (IsLikelyUtf8(bytes.data(), bytes.size(), signature)) {
        encoding = TextEncoding::Utf8;
        if (!DecodeUtf8InSlices(bytes.substr(signature), spare, text, lineEnding))
            return false;
    } else {
        // The signature bytes belong to the text: they were not a signature.
        encoding = TextEncoding::Ansi;
        if (!DecodeFromCodePage(kCodePageAnsi, bytes, text, spare))
            return false;
        lineEnding = NormalizeLineEndings(text);
    }
    return text.size() <= kMaxTextLength;
}

bool EncodeText(const std::u16string& text, uint32_t codePage, LineEnding lineEnding,
                std::string& bytes) {
    const std::u16string converted = ConvertLineEndingsForSave(text, lineEnding);
    bool replaced;
    return EncodeToCodePage(codePage, converted, bytes, replaced);
}

bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding) {
    try {
        std::string bytes;
        return ReadFileBytes(path, bytes) && DecodeText(bytes, text, encoding, lineEnding);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool WriteTextFile(const std::u16string& text, const std::u16string& path, uint32_t codePage,
                   LineEnding lineEnding, std::u16string* keptBackup) {
    try {
        std::string bytes;
        return EncodeText(text, codePage, lineEnding, bytes) &&
               WriteFileBytesSafely(path, bytes, keptBackup);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool EncodingLosesCharacters(const std::u16string& text, uint32_t codePage) {
    size_t size;
    bool replaced;
    return MeasureEncoding(codePage, text, size, replaced) && replaced;
}
