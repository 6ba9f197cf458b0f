// Feeds arbitrary file bytes through loading and back through saving,
// checking what must hold for every input.
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text;
    TextEncoding encoding;
    LineEnding lineEnding;
    Require(DecodeText(bytes, text, encoding, lineEnding), "any small input loads");
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
    return 0;
}
