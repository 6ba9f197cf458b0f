// Feeds arbitrary file bytes through loading and back through saving,
// checking what must hold for every input: above all that a save in the
// loaded form writes the file's own bytes, but for the differences the load
// announced, and that reading the bytes a few at a time loads the same text.
#include "fileio/byte_source.h"
#include "fileio/text_file.h"
#include "fileio/utf8_compress.h"
#include "fileio/utf8_load.h"
#include "fileio/utf8_shuffle.h"

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

// Saving in the detected form and loading again gives the same document.
void CheckRoundTrip(const std::u16string& text, TextEncoding encoding, LineEnding lineEnding) {
    Require(!EncodingLosesCharacters(text, encoding), "loaded text encodes without loss");
    std::string saved;
    Require(EncodeText(text, encoding, lineEnding, saved), "saving succeeds");
    std::u16string again;
    TextEncoding encodingAgain;
    LineEnding lineEndingAgain;
    Require(DecodeText(saved, again, encodingAgain, lineEndingAgain), "reloading succeeds");
    Require(again == text, "reloaded text equals the loaded text");
    Require(encodingAgain == encoding, "reloaded encoding equals the loaded encoding");
    const LineEnding saveStyle = lineEnding == LineEnding::Mixed ? LineEnding::Crlf : lineEnding;
    Require(lineEndingAgain == saveStyle, "reloaded line ending is the saved one");
}

// How wide a unit of the form is in the file, and in which byte order.
struct UnitForm {
    size_t width;
    bool bigEndian;
};

UnitForm FormOf(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16Le:
        return {2, false};
    case TextEncoding::Utf16Be:
        return {2, true};
    case TextEncoding::Utf32Le:
        return {4, false};
    case TextEncoding::Utf32Be:
        return {4, true};
    default:
        return {1, false};
    }
}

uint32_t UnitAt(std::string_view bytes, size_t i, UnitForm form) {
    uint32_t unit = 0;
    for (size_t k = 0; k < form.width; ++k) {
        const uint32_t byte = static_cast<unsigned char>(bytes[i * form.width + k]);
        unit |= byte << 8 * (form.bigEndian ? form.width - 1 - k : k);
    }
    return unit;
}

std::string UnitBytes(uint32_t unit, UnitForm form) {
    std::string bytes;
    for (size_t k = 0; k < form.width; ++k)
        bytes += static_cast<char>(unit >> 8 * (form.bigEndian ? form.width - 1 - k : k));
    return bytes;
}

// body with every CR LF, lone CR and lone LF written as CR LF.
std::string CrLfBreaks(std::string_view body, UnitForm form) {
    const size_t n = body.size() / form.width;
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t u = UnitAt(body, i, form);
        if (u == '\r' || u == '\n') {
            out += UnitBytes('\r', form) + UnitBytes('\n', form);
            if (u == '\r' && i + 1 < n && UnitAt(body, i + 1, form) == '\n')
                ++i;
        } else {
            out.append(body.substr(i * form.width, form.width));
        }
    }
    return out;
}

bool IsSurrogate(uint32_t unit, uint32_t first) {
    return unit >= first && unit <= first + 0x3FF;
}

// The bytes a UTF-16 or UTF-32 save writes for a loaded file: its own, but
// that U+FFFD stands for what the text cannot hold. In UTF-16 that is an
// odd final byte; in UTF-32 1 to 3 final bytes, a value above U+10FFFF and
// a low surrogate value right after a high one, which would read back as
// one character.
std::string WithReplacements(std::string_view bytes, UnitForm form, bool& replaced) {
    const size_t n = bytes.size() / form.width;
    std::string out;
    uint32_t previous = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t u = UnitAt(bytes, i, form);
        const bool lost =
            form.width == 4 &&
            (u > 0x10FFFF || (IsSurrogate(u, 0xDC00) && IsSurrogate(previous, 0xD800)));
        out += lost ? UnitBytes(0xFFFD, form) : UnitBytes(u, form);
        replaced |= lost;
        previous = u;
    }
    if (bytes.size() % form.width != 0) {
        out += UnitBytes(0xFFFD, form);
        replaced = true;
    }
    return out;
}

// The bytes a save in the loaded form must write: the file's, except that
// Mixed breaks become CR LF and what the load reported as replaced is
// written as U+FFFD. With these converters nothing else is ever replaced.
std::string ExpectedSave(std::string_view bytes, TextEncoding encoding, LineEnding lineEnding,
                         bool replaced) {
    const UnitForm form = FormOf(encoding);
    bool expectReplaced = false;
    std::string expected =
        form.width == 1 ? std::string(bytes) : WithReplacements(bytes, form, expectReplaced);
    Require(replaced == expectReplaced, "the load reports exactly the units a save replaces");
    if (lineEnding == LineEnding::Mixed)
        expected = CrLfBreaks(expected, form);
    return expected;
}

// Bytes that do not tell their count, as a pipe gives them: the load
// counts them in a pass of its own before it decodes them.
class UnsizedSource final : public ByteSource {
  public:
    explicit UnsizedSource(std::string_view bytes) : bytes_(bytes) {}
    bool Read(char* into, size_t n, size_t& got) override { return bytes_.Read(into, n, got); }
    bool Rewind() override { return bytes_.Rewind(); }

  private:
    MemorySource bytes_;
};

// Read in pieces of a few bytes, which split sequences and CR LF pairs
// anywhere, by any of the decoders a processor may get, in one pass or two,
// UTF-8 loads as the whole read loaded it, and nothing else loads as UTF-8.
void CheckPieces(std::string_view bytes, const std::u16string& text, TextEncoding encoding,
                 LineEnding lineEnding) {
    const unsigned pick = bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back());
    UseUtf8Compress(pick % 3 == 0);
    UseUtf8Shuffles(pick % 3 != 2);
    MemorySource sized(bytes);
    UnsizedSource unsized(bytes);
    ByteSource& source = pick / 3 % 2 ? static_cast<ByteSource&>(sized) : unsized;
    std::u16string pieced;
    TextEncoding piecedEncoding;
    LineEnding piecedEnding;
    const Utf8Load result = LoadUtf8(source, 8 + pick % 40, pieced, piecedEncoding, piecedEnding);
    UseUtf8Compress(true);
    UseUtf8Shuffles(true);
    const bool utf8 = encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom;
    Require((result == Utf8Load::Loaded) == utf8, "UTF-8 read in pieces is taken for UTF-8");
    if (utf8)
        Require(pieced == text && piecedEncoding == encoding && piecedEnding == lineEnding,
                "UTF-8 read in pieces loads as read whole");
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
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom)
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
    CheckPieces(bytes, text, encoding, lineEnding);

    std::string saved;
    Require(EncodeText(text, encoding, lineEnding, saved), "saving succeeds");
    Require(saved == ExpectedSave(bytes, encoding, lineEnding, replaced),
            "a save writes the loaded bytes back");
    return 0;
}
