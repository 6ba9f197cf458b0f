// Feeds arbitrary file bytes through loading and back through saving,
// checking what must hold for every input: above all that a save in the
// loaded form writes the file's own bytes, but for the differences the load
// announced.
#include "fileio/codepage.h"
#include "fileio/text_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

bool HasLoneBreak(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return true;
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            return true;
    }
    return false;
}

bool HasUnpairedSurrogate(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            return true;
    }
    return false;
}

// Saving with a single-unit break and loading again restores the text.
void CheckBreakStyle(const std::u16string& text, LineEnding style) {
    std::u16string converted = ConvertLineEndingsForSave(text, style);
    const bool hasBreaks = text.find(u'\n') != std::u16string::npos;
    const LineEnding found = NormalizeLineEndings(converted);
    Require(converted == text, "converting breaks and normalising restores the text");
    Require(found == (hasBreaks ? style : LineEnding::Crlf), "converted breaks classify as saved");
}

// Saving in the detected form and loading again gives the same document. The
// one exception: a UTF-8 text that starts with U+FEFF is written without a
// signature, so its first character reads as one next time.
void CheckRoundTrip(const std::u16string& text, TextEncoding encoding, LineEnding lineEnding) {
    const uint32_t codePage = CodePageForEncoding(encoding);
    Require(!EncodingLosesCharacters(text, codePage), "loaded text encodes without loss");
    std::string saved;
    Require(EncodeText(text, codePage, lineEnding, saved), "saving succeeds");
    std::u16string again;
    TextEncoding encodingAgain;
    LineEnding lineEndingAgain;
    Require(DecodeText(saved, again, encodingAgain, lineEndingAgain), "reloading succeeds");
    std::u16string expected = text;
    if (encoding == TextEncoding::Utf8 && !text.empty() && text[0] == u'\xFEFF')
        expected.erase(0, 1);
    Require(again == expected, "reloaded text equals the loaded text");
    Require(encodingAgain == encoding, "reloaded encoding equals the loaded encoding");
    const LineEnding saveStyle = lineEnding == LineEnding::Mixed ? LineEnding::Crlf : lineEnding;
    Require(lineEndingAgain == saveStyle, "reloaded line ending is the saved one");
}

bool IsUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

// body with every CR LF, lone CR and lone LF written as CR LF, where a unit
// is one byte or, for UTF-16, two in the given order.
std::string CrLfBreaks(std::string_view body, bool utf16, bool bigEndian) {
    const size_t width = utf16 ? 2 : 1;
    const size_t n = body.size() / width;
    auto unit = [&](size_t i) -> unsigned {
        if (!utf16)
            return static_cast<unsigned char>(body[i]);
        const unsigned first = static_cast<unsigned char>(body[2 * i]);
        const unsigned second = static_cast<unsigned char>(body[2 * i + 1]);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    auto put = [&](std::string& out, char c) {
        if (utf16 && bigEndian)
            out += '\0';
        out += c;
        if (utf16 && !bigEndian)
            out += '\0';
    };
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const unsigned u = unit(i);
        if (u == '\r' || u == '\n') {
            put(out, '\r');
            put(out, '\n');
            if (u == '\r' && i + 1 < n && unit(i + 1) == '\n')
                ++i;
        } else {
            out.append(body.substr(i * width, width));
        }
    }
    return out;
}

// The bytes a save in the loaded form must write: the file's, except that a
// UTF-8 signature is dropped, Mixed breaks become CR LF, and what the load
// reported as replaced is written as U+FFFD. With these converters the one
// replacement is a UTF-16 file's odd final byte.
std::string ExpectedSave(std::string_view bytes, TextEncoding encoding, LineEnding lineEnding,
                         bool replaced) {
    std::string expected(bytes);
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    if (encoding == TextEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF"))
        expected.erase(0, 3);
    Require(replaced == (IsUtf16(encoding) && bytes.size() % 2 != 0),
            "only an odd final UTF-16 byte is reported as replaced");
    if (replaced) {
        expected.pop_back();
        expected += bigEndian ? "\xFF\xFD" : "\xFD\xFF";
    }
    if (lineEnding == LineEnding::Mixed) {
        const size_t head = IsUtf16(encoding) ? 2 : 0;
        expected = expected.substr(0, head) +
                   CrLfBreaks(std::string_view(expected).substr(head), head != 0, bigEndian);
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text;
    TextEncoding encoding;
    LineEnding lineEnding;
    bool replaced;
    Require(DecodeText(bytes, text, encoding, lineEnding, &replaced), "any small input loads");
    Require(!HasLoneBreak(text), "loaded text holds CR LF breaks only");
    if (encoding == TextEncoding::Utf8)
        Require(!HasUnpairedSurrogate(text), "decoded UTF-8 is well-formed UTF-16");
    if (bytes.find_first_of("\r\n") == std::string_view::npos)
        Require(lineEnding == LineEnding::Crlf, "a file without breaks is Crlf");

    std::u16string twice = text;
    Require(NormalizeLineEndings(twice) == LineEnding::Crlf, "normalised text classifies as Crlf");
    Require(twice == text, "normalising is idempotent");
    Require(ConvertLineEndingsForSave(text, LineEnding::Crlf) == text, "Crlf saving keeps CR LF");
    CheckBreakStyle(text, LineEnding::Lf);
    CheckBreakStyle(text, LineEnding::Cr);
    CheckRoundTrip(text, encoding, lineEnding);

    std::string saved;
    Require(EncodeText(text, CodePageForEncoding(encoding), lineEnding, saved), "saving succeeds");
    Require(saved == ExpectedSave(bytes, encoding, lineEnding, replaced),
            "a save writes the loaded bytes back");
    return 0;
}
