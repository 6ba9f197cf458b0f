#include "fileio/text_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

bool Utf8(const std::string& bytes, size_t start = 0) {
    return IsWellFormedUtf8(bytes.data(), bytes.size(), start);
}

struct Normalized {
    std::u16string text;
    LineEnding lineEnding;
};

Normalized Normalize(std::u16string text) {
    const LineEnding lineEnding = NormalizeLineEndings(text);
    return {text, lineEnding};
}

} // namespace

TEST(FileioFormat, LabelsCoverEveryValueAndFallBack) {
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf8)), u"UTF-8");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Ansi)), u"ANSI");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf16Le)), u"UTF-16 LE");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf16Be)), u"UTF-16 BE");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf32Le)), u"UTF-32 LE");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf32Be)), u"UTF-32 BE");
    EXPECT_EQ(std::u16string(EncodingLabel(TextEncoding::Utf8Bom)), u"UTF-8 BOM");
    EXPECT_EQ(std::u16string(EncodingLabel(static_cast<TextEncoding>(7))), u"UTF-8");
    EXPECT_EQ(std::u16string(LineEndingLabel(LineEnding::Crlf)), u"Win");
    EXPECT_EQ(std::u16string(LineEndingLabel(LineEnding::Lf)), u"Unix");
    EXPECT_EQ(std::u16string(LineEndingLabel(LineEnding::Cr)), u"Mac");
    EXPECT_EQ(std::u16string(LineEndingLabel(LineEnding::Mixed)), u"Mixed");
    EXPECT_EQ(std::u16string(LineEndingLabel(static_cast<LineEnding>(4))), u"Win");
    EXPECT_EQ(std::u16string(LineEndingLabel(static_cast<LineEnding>(-1))), u"Win");
}

TEST(FileioFormat, FileNameIsThePartAfterTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(FileNameFromPath(u"C:\\docs\\notes.txt"), u"notes.txt");
    EXPECT_EQ(FileNameFromPath(u"C:\\docs/sub\\a/b.txt"), u"b.txt");
    EXPECT_EQ(FileNameFromPath(u"plain.txt"), u"plain.txt");
    EXPECT_EQ(FileNameFromPath(u"C:\\docs\\"), u"");
    EXPECT_EQ(FileNameFromPath(u""), u"");
}

TEST(FileioFormat, Utf8TestRejectsSequencesThatRunPastTheEnd) {
    EXPECT_TRUE(Utf8("\xC3\xA9"));
    EXPECT_FALSE(Utf8("\xC3"));
    EXPECT_TRUE(Utf8("ab\xE2\x82\xAC"));
    EXPECT_FALSE(Utf8("ab\xE2\x82"));
    EXPECT_TRUE(Utf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(Utf8("\xF0\x9F\x98"));
    // A continuation byte replaced by ASCII, by another lead, or missing in the middle.
    EXPECT_FALSE(Utf8("\xE2\x82x"));
    EXPECT_FALSE(Utf8("\xC3\xC3\xA9"));
    EXPECT_TRUE(Utf8(""));
    EXPECT_TRUE(Utf8(std::string("a\0b", 3)));
}

TEST(FileioFormat, Utf8TestRejectsBytesThatCannotLead) {
    EXPECT_FALSE(Utf8("\x80"));
    EXPECT_FALSE(Utf8("a\xBF"));
    for (int b = 0xF8; b <= 0xFF; ++b)
        EXPECT_FALSE(Utf8(std::string(1, static_cast<char>(b)) + "\x80\x80\x80\x80")) << b;
    // The UTF-16 byte-order marks are no signature and no UTF-8.
    EXPECT_FALSE(Utf8("\xFF\xFE"
                      "a"));
    EXPECT_FALSE(Utf8("\xFE\xFF"
                      "a"));
}

// The rows of the well-formed byte sequences table of the Unicode Standard
// (Table 3-7): the first and last value each byte may take.
struct WellFormedRow {
    std::vector<std::pair<int, int>> bytes;
};

const WellFormedRow kWellFormedRows[] = {
    {{{0x00, 0x7F}}},
    {{{0xC2, 0xDF}, {0x80, 0xBF}}},
    {{{0xE0, 0xE0}, {0xA0, 0xBF}, {0x80, 0xBF}}},
    {{{0xE1, 0xEC}, {0x80, 0xBF}, {0x80, 0xBF}}},
    {{{0xED, 0xED}, {0x80, 0x9F}, {0x80, 0xBF}}},
    {{{0xEE, 0xEF}, {0x80, 0xBF}, {0x80, 0xBF}}},
    {{{0xF0, 0xF0}, {0x90, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}},
    {{{0xF1, 0xF3}, {0x80, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}},
    {{{0xF4, 0xF4}, {0x80, 0x8F}, {0x80, 0xBF}, {0x80, 0xBF}}},
};

// The sequence alone, and inside a run long enough for the test's block loop.
void ExpectUtf8(const std::string& sequence, bool wellFormed) {
    std::string hex;
    for (unsigned char b : sequence)
        hex.append(" ").append(std::to_string(b));
    EXPECT_EQ(Utf8(sequence), wellFormed) << hex;
    EXPECT_EQ(Utf8(std::string(20, 'a') + sequence + std::string(20, 'z')), wellFormed) << hex;
}

TEST(FileioFormat, Utf8TestAcceptsExactlyTheWellFormedSequences) {
    for (const WellFormedRow& row : kWellFormedRows) {
        const size_t length = row.bytes.size();
        // Every combination of the first and last values of each byte.
        for (unsigned corner = 0; corner < (1u << length); ++corner) {
            std::string sequence;
            for (size_t k = 0; k < length; ++k) {
                const auto [low, high] = row.bytes[k];
                sequence += static_cast<char>(corner >> k & 1 ? high : low);
            }
            ExpectUtf8(sequence, true);
            if (length > 1)
                ExpectUtf8(sequence.substr(0, length - 1), false);
        }
        // A byte after the lead just outside its range breaks the sequence.
        for (size_t k = 1; k < length; ++k) {
            for (int outside : {row.bytes[k].first - 1, row.bytes[k].second + 1}) {
                std::string sequence;
                for (size_t m = 0; m < length; ++m)
                    sequence += static_cast<char>(m == k ? outside : row.bytes[m].first);
                ExpectUtf8(sequence, false);
            }
        }
    }
    // Lead bytes of no row: overlong two-byte forms and beyond U+10FFFF.
    for (int lead : {0xC0, 0xC1, 0xF5, 0xF7, 0xF8, 0xFF})
        ExpectUtf8(std::string(1, static_cast<char>(lead)) + "\x80\x80\x80", false);
}

// The test works in blocks of thousands of bytes: a bad sequence must be
// seen where it straddles one.
TEST(FileioFormat, Utf8TestSeesIllFormedSequencesAcrossBlockEdges) {
    for (size_t at = 4088; at < 4104; ++at) {
        for (const char* bad : {"\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE0\x9F\xBF"}) {
            std::string bytes(8192, 'a');
            bytes.replace(at, std::strlen(bad), bad);
            EXPECT_FALSE(Utf8(bytes)) << at;
        }
        std::string bytes(8192, 'a');
        bytes.replace(at, 4, "\xF4\x8F\xBF\xBF");
        EXPECT_TRUE(Utf8(bytes)) << at;
    }
}

TEST(FileioFormat, Utf8TestStartsAtTheGivenIndex) {
    EXPECT_TRUE(Utf8("\x80"
                     "abc",
                     1));
    EXPECT_FALSE(Utf8("abc\x80", 1));
    EXPECT_TRUE(Utf8("abc", 3));
}

// The test skips ASCII eight bytes at a time: a bad byte or a sequence at
// every offset relative to those blocks must still be seen.
TEST(FileioFormat, Utf8TestFindsBytesAtEveryOffsetOfALongRun) {
    for (size_t at = 0; at < 24; ++at) {
        std::string stray(24, 'a');
        stray[at] = '\x80';
        EXPECT_FALSE(Utf8(stray)) << at;
    }
    for (size_t at = 0; at + 3 <= 24; ++at) {
        std::string euro(24, 'a');
        euro.replace(at, 3, "\xE2\x82\xAC");
        EXPECT_TRUE(Utf8(euro)) << at;
        EXPECT_FALSE(Utf8(euro.substr(0, at + 2))) << at;
    }
}

TEST(FileioFormat, NormalizingClassifiesEachStyle) {
    Normalized r = Normalize(u"");
    EXPECT_EQ(r.text, u"");
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Normalize(u"one line");
    EXPECT_EQ(r.text, u"one line");
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Normalize(u"x\r\ny\r\n");
    EXPECT_EQ(r.text, u"x\r\ny\r\n");
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Normalize(u"x\ny\nz");
    EXPECT_EQ(r.text, u"x\r\ny\r\nz");
    EXPECT_EQ(r.lineEnding, LineEnding::Lf);

    r = Normalize(u"x\ry");
    EXPECT_EQ(r.text, u"x\r\ny");
    EXPECT_EQ(r.lineEnding, LineEnding::Cr);

    r = Normalize(u"a\r");
    EXPECT_EQ(r.text, u"a\r\n");
    EXPECT_EQ(r.lineEnding, LineEnding::Cr);

    r = Normalize(u"\n");
    EXPECT_EQ(r.text, u"\r\n");
    EXPECT_EQ(r.lineEnding, LineEnding::Lf);
}

TEST(FileioFormat, NormalizingTellsMixesApart) {
    Normalized r = Normalize(u"x\r\ny\nz");
    EXPECT_EQ(r.text, u"x\r\ny\r\nz");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);

    r = Normalize(u"a\r\r\nb");
    EXPECT_EQ(r.text, u"a\r\n\r\nb");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);

    r = Normalize(u"a\n\rb");
    EXPECT_EQ(r.text, u"a\r\n\r\nb");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);

    r = Normalize(u"a\r\n\rb\n");
    EXPECT_EQ(r.text, u"a\r\n\r\nb\r\n");
    EXPECT_EQ(r.lineEnding, LineEnding::Mixed);
}

TEST(FileioFormat, NormalizingKeepsEveryOtherUnit) {
    const std::u16string others = std::u16string(u"\0\x85\x2028\x2029\f\v\xD800", 7);
    Normalized r = Normalize(others + u"\n" + others);
    EXPECT_EQ(r.text, others + u"\r\n" + others);
    EXPECT_EQ(r.lineEnding, LineEnding::Lf);
}

TEST(FileioFormat, SaveConversionWritesOneBreakPerBreakOfAnyKind) {
    const std::u16string mixed = u"x\r\ny\nz\rw";
    EXPECT_EQ(ConvertLineEndingsForSave(mixed, LineEnding::Lf), u"x\ny\nz\nw");
    EXPECT_EQ(ConvertLineEndingsForSave(mixed, LineEnding::Cr), u"x\ry\rz\rw");
    EXPECT_EQ(ConvertLineEndingsForSave(mixed, LineEnding::Crlf), u"x\r\ny\r\nz\r\nw");
    EXPECT_EQ(ConvertLineEndingsForSave(mixed, LineEnding::Mixed), u"x\r\ny\r\nz\r\nw");
    EXPECT_EQ(ConvertLineEndingsForSave(u"x\r\r\ny", LineEnding::Crlf), u"x\r\n\r\ny");
    EXPECT_EQ(ConvertLineEndingsForSave(u"x\n\ry", LineEnding::Lf), u"x\n\ny");
    EXPECT_EQ(ConvertLineEndingsForSave(u"end\r", LineEnding::Lf), u"end\n");
    EXPECT_EQ(ConvertLineEndingsForSave(u"end\r", LineEnding::Crlf), u"end\r\n");
    EXPECT_EQ(ConvertLineEndingsForSave(u"", LineEnding::Cr), u"");
    const std::u16string zeros(u"\0a\0", 3);
    EXPECT_EQ(ConvertLineEndingsForSave(zeros + u"\r\n", LineEnding::Cr), zeros + u"\r");
}
