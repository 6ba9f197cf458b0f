#include "fileio/text_start.h"

#include "fileio/file_bytes.h"
#include "fileio/text_file.h"

#include <new>

namespace {

// The size of the units a signature announces; 1 for the byte forms.
size_t UnitBytes(std::string_view bytes) {
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return 4;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return 2;
    return 1;
}

// Where a UTF-8 sequence that the end cuts short begins; the end when none is.
size_t EndOfWholeSequences(std::string_view bytes) {
    size_t lead = bytes.size();
    for (int back = 0; back < 4 && lead > 0; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[--lead]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return bytes.size() - lead >= length ? bytes.size() : lead;
    }
    return bytes.size();
}

// How many of the byte forms' first bytes make whole lines. A break byte
// is never part of a longer character in UTF-8 or in an ANSI code page.
size_t WholeLineBytes(std::string_view bytes) {
    const size_t lastBreak = bytes.find_last_of("\r\n");
    return lastBreak == std::string_view::npos ? EndOfWholeSequences(bytes) : lastBreak + 1;
}

} // namespace

bool DecodeTextStart(std::string_view firstBytes, std::u16string& text, TextEncoding& encoding,
                     LineEnding& lineEnding) {
    const size_t unit = UnitBytes(firstBytes);
    const size_t keep =
        unit == 1 ? WholeLineBytes(firstBytes) : firstBytes.size() - firstBytes.size() % unit;
    if (!DecodeText(firstBytes.substr(0, keep), text, encoding, lineEnding))
        return false;
    // The wide forms are cut at a unit's edge; their last line ends here.
    const size_t lastBreak = text.find_last_of(u"\r\n");
    if (unit > 1 && lastBreak != std::u16string::npos)
        text.resize(lastBreak + 1);
    return true;
}

bool ReadTextStart(const std::u16string& path, size_t bytes, std::u16string& text,
                   TextEncoding& encoding, LineEnding& lineEnding) {
    try {
        FileReader file;
        if (!file.Open(path))
            return false;
        std::string start(bytes, '\0');
        size_t held = 0;
        bool ended = false;
        if (!FillBuffer(file, start, held, ended))
            return false;
        start.resize(held);
        return DecodeTextStart(start, text, encoding, lineEnding);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
