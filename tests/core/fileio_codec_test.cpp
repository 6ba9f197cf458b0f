// Decoding file bytes into document text and encoding it back, without files.
// The expectations hold for the Windows converters with code page 1252 as the
// ANSI page and for the stand-ins of other builds.
#include "fileio/codepage.h"
#include "fileio/text_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Loaded {
    bool ok = false;
    std::u16string text;
    TextEncoding encoding = TextEncoding::Ansi;
    LineEnding lineEnding = LineEnding::Mixed;
    bool replaced = true;
};

Loaded Load(const std::string& bytes) {
    Loaded r;
    r.ok = DecodeText(bytes, r.text, r.encoding, r.lineEnding, &r.replaced);
    return r;
}

std::string Save(const std::u16string& text, TextEncoding encoding, LineEnding lineEnding) {
    std::string bytes = "untouched";
    EXPECT_TRUE(EncodeText(text, encoding, lineEnding, bytes));
    return bytes;
}

} // namespace

TEST(FileioCodec, SignatureIsSkippedOnlyBeforeValidUtf8) {
    Loaded r = Load("");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, u"");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8);
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Load("\xEF\xBB\xBFhi");
    EXPECT_EQ(r.text, u"hi");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8Bom);

    // Invalid UTF-8 behind a signature: the signature bytes are text.
    r = Load("\xEF\xBB\xBF\xE9t\xE9");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_EQ(r.text, u"\xEF\xBB\xBF\xE9t\xE9");
    EXPECT_EQ(Save(r.text, TextEncoding::Ansi, r.lineEnding), "\xEF\xBB\xBF\xE9t\xE9");
}

// UTF-16 comes back byte for byte, lone surrogates and zero units included;
// only the breaks are normalised on load and written in the document's style.
TEST(FileioCodec, Utf16FilesLoadByTheirSignatureAndSaveBackInTheirOrder) {
    const std::string le("\xFF\xFEh\0\r\0\n\0\x00\xD8\0\0\x3D\xD8\x00\xDE", 16);
    Loaded r = Load(le);
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(r.encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(r.text, std::u16string(u"h\r\n\xD800\0\xD83D\xDE00", 7));
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);
    EXPECT_EQ(Save(r.text, r.encoding, r.lineEnding), le);

    const std::string be("\xFE\xFF\0a\0\n\0b\0\r\0c\x4E\x2D", 14);
    r = Load(be);
    EXPECT_EQ(r.encoding, TextEncoding::Utf16Be);
    EXPECT_EQ(r.text, u"a\r\nb\r\nc\x4E2D");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);
    EXPECT_EQ(Save(r.text, r.encoding, LineEnding::Lf),
              std::string("\xFE\xFF\0a\0\n\0b\0\n\0c\x4E\x2D", 14));

    // A break is a whole unit: 0D and 0A bytes inside other units are none.
    r = Load(std::string("\xFF\xFE\x0A\x0D\x0D\x0A", 6));
    EXPECT_EQ(r.text, u"\x0D0A\x0A0D");
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Load("\xFE\xFF");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.encoding, TextEncoding::Utf16Be);
    EXPECT_EQ(r.text, u"");
    EXPECT_EQ(Save(r.text, r.encoding, r.lineEnding), "\xFE\xFF");
}

// Each form with a signature loads by it and saves back byte for byte but
// for what the load reported as replaced: UTF-16 and UTF-32 keep lone
// surrogates and zero units, UTF-32 replaces what UTF-16 cannot hold, and
// a UTF-8 signature stays.
TEST(FileioCodec, SignedFormsSaveBackTheirOwnBytes) {
    using B = std::string;
    const struct {
        B bytes;
        TextEncoding encoding;
        std::u16string text;
        LineEnding lineEnding;
        B saved = {}; // empty: the bytes themselves
    } forms[] = {
        {B("\xFF\xFE\0\0a\0\0\0\r\0\0\0\n\0\0\0\0\xF6\x01\0\0\xD8\0\0\0\0\0\0", 28),
         TextEncoding::Utf32Le, std::u16string(u"a\r\n\xD83D\xDE00\xD800\0", 7), LineEnding::Crlf},
        {B("\0\0\xFE\xFF\0\0\0b\0\0\0\n\0\0\xDC\0", 16), TextEncoding::Utf32Be, u"b\r\n\xDC00",
         LineEnding::Lf},
        // Above U+10FFFF, a low surrogate value after a high one, two bytes left over.
        {B("\xFF\xFE\0\0\0\0\x11\0\0\xD8\0\0\0\xDC\0\0zz", 18), TextEncoding::Utf32Le,
         u"\xFFFD\xD800\xFFFD\xFFFD", LineEnding::Crlf,
         B("\xFF\xFE\0\0\xFD\xFF\0\0\0\xD8\0\0\xFD\xFF\0\0\xFD\xFF\0\0", 20)},
        {B("\xFF\xFE\0\0", 4), TextEncoding::Utf32Le, u"", LineEnding::Crlf},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\r",
         TextEncoding::Utf8Bom, u"caf\xE9\r\n", LineEnding::Cr},
        {"\xEF\xBB\xBF", TextEncoding::Utf8Bom, u"", LineEnding::Crlf},
        // Only the first signature is one; a second is the character U+FEFF.
        {"\xEF\xBB\xBF\xEF\xBB\xBFx", TextEncoding::Utf8Bom, u"\xFEFFx", LineEnding::Crlf},
    };
    for (const auto& form : forms) {
        const Loaded r = Load(form.bytes);
        const std::string saved = form.saved.empty() ? form.bytes : form.saved;
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.encoding, form.encoding) << saved;
        EXPECT_EQ(r.text, form.text) << saved;
        EXPECT_EQ(r.lineEnding, form.lineEnding) << saved;
        EXPECT_EQ(r.replaced, !form.saved.empty()) << saved;
        EXPECT_EQ(Save(r.text, r.encoding, r.lineEnding), saved);
    }
}

// No unit holds an odd final byte: it is shown as U+FFFD, and the load says
// that a save will not give the byte back.
TEST(FileioCodec, AnOddUtf16ByteIsReplacedAndReported) {
    const Loaded r = Load(std::string("\xFF\xFEh\0i", 5));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.replaced);
    EXPECT_EQ(r.encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(r.text, u"h\xFFFD");
    EXPECT_EQ(Save(r.text, r.encoding, r.lineEnding), std::string("\xFF\xFEh\0\xFD\xFF", 6));
    EXPECT_TRUE(Load(std::string("\xFE\xFF\0", 3)).replaced);
}

TEST(FileioCodec, EncodingFollowsTheWholeFile) {
    Loaded r = Load("plain ascii");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8);
    EXPECT_EQ(r.text, u"plain ascii");

    r = Load("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8);
    EXPECT_EQ(r.text, u"\xE9t\xE9 \x20AC \xD83D\xDE00");

    r = Load("\xE9");
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_EQ(r.text, u"\xE9");

    // One truncated sequence at the end turns all of the file to ANSI.
    r = Load("\xC3\xA9 ok \xE2\x82");
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_EQ(r.text, u"\xC3\xA9 ok \xE2\x201A");

    r = Load("\xF8\x88\x80\x80\x80");
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_EQ(r.text.size(), 5u);
}

// Bytes that are UTF-8 in shape but not well-formed would decode to U+FFFD
// and be lost at the next save: as ANSI every one of them comes back.
TEST(FileioCodec, IllFormedUtf8LoadsAsAnsiAndSavesBackUnchanged) {
    for (const std::string bytes :
         {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
          "\xC1\xBF", "a\xC0\x80z\xEF\xBF\xBD", "\xEF\xBB\xBF\xED\xBF\xBF"}) {
        const Loaded r = Load(bytes);
        EXPECT_TRUE(r.ok);
        EXPECT_FALSE(r.replaced);
        EXPECT_EQ(r.encoding, TextEncoding::Ansi) << bytes;
        EXPECT_EQ(r.text.size(), bytes.size());
        EXPECT_EQ(Save(r.text, TextEncoding::Ansi, r.lineEnding), bytes);
    }
}

TEST(FileioCodec, ZeroBytesAreCarriedThroughBothWays) {
    const std::string bytes("a\0b\0", 4);
    const Loaded r = Load(bytes);
    EXPECT_EQ(r.encoding, TextEncoding::Utf8);
    EXPECT_EQ(r.text, std::u16string(u"a\0b\0", 4));
    EXPECT_EQ(Save(r.text, TextEncoding::Utf8, LineEnding::Crlf), bytes);
    EXPECT_EQ(Save(r.text, TextEncoding::Ansi, LineEnding::Crlf), bytes);
}

TEST(FileioCodec, LoadingNormalizesAndClassifiesBreaks) {
    Loaded r = Load("x\ny\nz");
    EXPECT_EQ(r.text, u"x\r\ny\r\nz");
    EXPECT_EQ(r.lineEnding, LineEnding::Lf);

    r = Load("x\r\ny\nz\xE9");
    EXPECT_EQ(r.text, u"x\r\ny\r\nz\xE9");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);

    r = Load("\xEF\xBB\xBF\r");
    EXPECT_EQ(r.text, u"\r\n");
    EXPECT_EQ(r.lineEnding, LineEnding::Cr);
}

TEST(FileioCodec, SavingConvertsBreaksAndWritesNoSignature) {
    EXPECT_EQ(Save(u"", TextEncoding::Utf8, LineEnding::Crlf), "");
    EXPECT_EQ(Save(u"", TextEncoding::Ansi, LineEnding::Lf), "");
    EXPECT_EQ(Save(u"hi", TextEncoding::Utf8, LineEnding::Crlf), "hi");
    EXPECT_EQ(Save(u"x\r\ny\nz\rw", TextEncoding::Utf8, LineEnding::Lf), "x\ny\nz\nw");
    EXPECT_EQ(Save(u"x\ry\r\n", TextEncoding::Utf8, LineEnding::Mixed), "x\r\ny\r\n");
    EXPECT_EQ(Save(u"a\r\nb\r", TextEncoding::Ansi, LineEnding::Cr), "a\rb\r");
}

TEST(FileioCodec, Utf8SavingWritesPairsWholeAndLoneSurrogatesAsReplacement) {
    EXPECT_EQ(Save(u"\xD83D\xDE00", TextEncoding::Utf8, LineEnding::Crlf), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Save(u"a\xD800"
                   u"b\xDC00",
                   TextEncoding::Utf8, LineEnding::Crlf),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(Save(u"\xDE00\xD83D", TextEncoding::Utf8, LineEnding::Crlf),
              "\xEF\xBF\xBD\xEF\xBF\xBD");
    // Which is a loss the user is asked about; the forms that keep units lose nothing.
    for (const std::u16string text : {u"a\xD800\x4E2D", u"\xDE00\xD83D", u"\xD83D"}) {
        EXPECT_TRUE(EncodingLosesCharacters(text, TextEncoding::Utf8));
        EXPECT_TRUE(EncodingLosesCharacters(text, TextEncoding::Utf8Bom));
        EXPECT_FALSE(EncodingLosesCharacters(text, TextEncoding::Utf16Le));
        EXPECT_FALSE(EncodingLosesCharacters(text, TextEncoding::Utf32Be));
    }
    EXPECT_FALSE(EncodingLosesCharacters(u"a\x4E2D\xD83D\xDE00", TextEncoding::Utf8));
}

TEST(FileioCodec, AnsiSavingReplacesWhatThePageLacksAndSaysSoBeforehand) {
    EXPECT_EQ(
        Save(u"\xE9\x20AC\x0081\x008D\x008F\x0090\x009D", TextEncoding::Ansi, LineEnding::Crlf),
        "\xE9\x80\x81\x8D\x8F\x90\x9D");
    EXPECT_FALSE(EncodingLosesCharacters(u"\xE9\x20AC\x0178 plain", TextEncoding::Ansi));
    EXPECT_FALSE(EncodingLosesCharacters(u"", TextEncoding::Ansi));

    // No best-fit look-alike: a letter the page lacks becomes '?', not 'A'.
    EXPECT_EQ(Save(u"x\x0100y", TextEncoding::Ansi, LineEnding::Crlf), "x?y");
    EXPECT_TRUE(EncodingLosesCharacters(u"x\x0100y", TextEncoding::Ansi));
    EXPECT_TRUE(EncodingLosesCharacters(u"\x4E2D", TextEncoding::Ansi));
    const std::string emoji = Save(u"\xD83D\xDE00", TextEncoding::Ansi, LineEnding::Crlf);
    EXPECT_FALSE(emoji.empty());
    EXPECT_EQ(emoji.find_first_not_of('?'), std::string::npos);
}

// Every byte loaded as ANSI comes back unchanged when saved as ANSI.
TEST(FileioCodec, AnsiBytesRoundTrip) {
    std::string all;
    for (int b = 0x80; b <= 0xFF; ++b)
        all += static_cast<char>(b);
    const Loaded r = Load(all);
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(r.text.size(), all.size());
    EXPECT_FALSE(EncodingLosesCharacters(r.text, TextEncoding::Ansi));
    EXPECT_EQ(Save(r.text, TextEncoding::Ansi, r.lineEnding), all);
}

// Large UTF-8 files are decoded and normalised in slices; whatever falls on a
// slice boundary must come out as if the file were decoded whole.
TEST(FileioCodec, LargeFilesDecodeAsIfWhole) {
    const char* const patterns[] = {
        "\xF0\x9F\x98\x80", "\xE2\x82\xAC", "\xC3\xA9",         "\r\n",
        "\r\r\n\n",         "\xE0\xA0\x80", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF\r"};
    for (size_t boundary : {size_t{64 * 1024}, size_t{128 * 1024}}) {
        for (const char* pattern : patterns) {
            for (size_t before = 0; before <= 5; ++before) {
                std::string bytes(boundary - before, 'a');
                bytes[100] = '\n';
                bytes += pattern;
                bytes += std::string(70 * 1024, 'b') + "\r";
                std::u16string whole;
                ASSERT_TRUE(DecodeFromCodePage(kCodePageUtf8, bytes, whole));
                const LineEnding wholeEnding = NormalizeLineEndings(whole);

                const Loaded r = Load(bytes);
                ASSERT_TRUE(r.ok);
                EXPECT_EQ(r.encoding, TextEncoding::Utf8);
                EXPECT_EQ(r.lineEnding, wholeEnding) << pattern << before;
                EXPECT_TRUE(r.text == whole) << pattern << before;
            }
        }
    }
}
