// Loading in pieces and saving in stretches must give exactly what the whole
// bytes or the whole text would, wherever the cuts fall.
#include "fileio/codepage.h"
#include "fileio/file_bytes.h"
#include "fileio/text_encode.h"
#include "fileio/text_file.h"
#include "fileio/utf16_bytes.h"
#include "fileio/utf16_load.h"
#include "fileio/utf32_bytes.h"
#include "fileio/utf8_load.h"

#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Runs of the byte and unit patterns that sit badly on a cut.
template <typename Str> Str Draw(std::mt19937& rng, const std::vector<Str>& tokens, int count) {
    Str out;
    for (int i = 0; i < count; ++i)
        out += tokens[rng() % tokens.size()];
    return out;
}

// Gives other bytes on its second pass, as a file written to meanwhile would.
// Each rewind moves on to the next pass's bytes; the last pass's stay.
class ChangingSource final : public ByteSource {
  public:
    template <typename... Passes>
    explicit ChangingSource(Passes... passes) : passes_{std::move(passes)...} {}
    bool Read(char* into, size_t n, size_t& got) override {
        const std::string& bytes = passes_[pass_];
        got = std::min(n, bytes.size() - at_);
        bytes.copy(into, got, at_);
        at_ += got;
        return true;
    }
    bool Rewind() override {
        pass_ = std::min(pass_ + 1, passes_.size() - 1);
        at_ = 0;
        return true;
    }

  private:
    std::vector<std::string> passes_;
    size_t pass_ = 0;
    size_t at_ = 0;
};

// Read whole, however its passes differed, the source gives the text of
// its last bytes.
void ExpectReadAs(ByteSource& source, const std::string& last) {
    std::u16string expected;
    TextEncoding expectedEncoding;
    LineEnding expectedEnding;
    ASSERT_TRUE(DecodeText(last, expected, expectedEncoding, expectedEnding));
    std::u16string text;
    TextEncoding encoding;
    LineEnding ending;
    ASSERT_TRUE(ReadText(source, text, encoding, ending)) << last;
    EXPECT_TRUE(text == expected) << last;
    EXPECT_EQ(encoding, expectedEncoding) << last;
    EXPECT_EQ(ending, expectedEnding) << last;
}

} // namespace

TEST(FileioPieces, LoadingInSmallPiecesMatchesDecodingWhole) {
    const std::vector<std::string> tokens = {"a",
                                             "\r",
                                             "\n",
                                             "\r\n",
                                             "\xC3\xA9",
                                             "\xE2\x82\xAC",
                                             "\xF0\x9F\x98\x80",
                                             "\xF4\x8F\xBF\xBF"};
    const std::vector<std::string> broken = {"\x80", "\xC3", "\xED\xA0\x80", "\xF8"};
    std::mt19937 rng(11);
    for (int round = 0; round < 400; ++round) {
        std::string bytes = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
        bytes += Draw(rng, tokens, static_cast<int>(rng() % 60));
        if (round % 5 == 0)
            bytes.insert(rng() % (bytes.size() + 1), broken[rng() % broken.size()]);
        const size_t body = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;

        // A source that tells its size is loaded in one pass, one that
        // does not in two.
        MemorySource sized(bytes);
        ChangingSource unsized(bytes);
        ByteSource& source = round % 2 ? static_cast<ByteSource&>(sized) : unsized;
        std::u16string text;
        TextEncoding encoding;
        LineEnding ending;
        const Utf8Load result = LoadUtf8(source, 8 + rng() % 6, text, encoding, ending);
        if (!IsWellFormedUtf8(bytes.data(), bytes.size(), body)) {
            EXPECT_EQ(result, Utf8Load::NotUtf8);
            continue;
        }
        std::u16string whole;
        ASSERT_TRUE(DecodeFromCodePage(kCodePageUtf8, bytes.substr(body), whole));
        const LineEnding wholeEnding = NormalizeLineEndings(whole);
        ASSERT_EQ(result, Utf8Load::Loaded);
        EXPECT_EQ(encoding, body ? TextEncoding::Utf8Bom : TextEncoding::Utf8);
        EXPECT_TRUE(text == whole) << round;
        EXPECT_EQ(ending, wholeEnding) << round;
        EXPECT_LE(text.size(), text.capacity());
    }
}

// A file still being written gives other bytes to the second pass: the
// load notices, and reading the bytes once more whole yields one version.
TEST(FileioPieces, BytesThatChangeBetweenPassesAreReadAgainInOnePass) {
    const std::pair<std::string, std::string> passes[] = {
        {"line\nline\n", "line\nline\nmore"},
        {"a\nb\nc\n", "a\r\nb\r\nc"},
        {"caf\xC3\xA9", "caf\xC3\xC3"},
        {std::string(300, 'a'), std::string(300, '\n')},
        {"\xEF\xBB\xBF"
         "abc",
         "abc"},
    };
    for (const auto& [first, second] : passes) {
        TextEncoding encoding;
        LineEnding ending;
        std::u16string out;
        ChangingSource piecewise(first, second);
        EXPECT_EQ(LoadUtf8(piecewise, 64, out, encoding, ending), Utf8Load::Changed) << second;

        ChangingSource file(first, second);
        ExpectReadAs(file, second);
    }
}

// Lines far shorter after the first piece than in it outgrow the room one
// pass reserved: the watch lets go of the units, and two passes load it.
TEST(FileioPieces, ATextOutgrowingItsRoomIsLoadedAgainInTwoPasses) {
    const std::string bytes = std::string(4096, 'a') + std::string(1 << 20, '\n');
    MemorySource source(bytes);
    int letGo = 0;
    size_t last = 0;
    const DecodeWatch watch = [&](const char16_t* units, size_t written, size_t) {
        letGo += units == nullptr;
        EXPECT_TRUE(units == nullptr || written >= last);
        last = written;
    };
    std::u16string text;
    TextEncoding encoding;
    LineEnding ending;
    ASSERT_EQ(LoadUtf8(source, 4096, text, encoding, ending, &watch), Utf8Load::Loaded);
    EXPECT_EQ(letGo, 1);
    EXPECT_EQ(last, text.size());
    std::u16string expected(4096, u'a');
    for (int i = 0; i < (1 << 20); ++i)
        expected += u"\r\n";
    EXPECT_TRUE(text == expected);
    EXPECT_EQ(ending, LineEnding::Lf);
}

// Units whose bytes look like breaks in the other byte order, breaks cut
// from their pairs and lone surrogates, in both orders, with and without an
// odd final byte, at piece sizes that split pairs and the signature's
// neighbourhood.
TEST(FileioPieces, LoadingUtf16InSmallPiecesMatchesDecodingWhole) {
    const std::vector<std::u16string> tokens = {u"a",
                                                u"\r",
                                                u"\n",
                                                u"\r\n",
                                                u"\u0D00",
                                                u"\u0A0D",
                                                u"\U0001F600",
                                                std::u16string(1, char16_t(0xD800)),
                                                std::u16string(1, char16_t(0xDC00))};
    std::mt19937 rng(16);
    for (int round = 0; round < 400; ++round) {
        const bool bigEndian = round % 2 != 0;
        const std::u16string units = Draw(rng, tokens, static_cast<int>(rng() % 50));
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        AppendUtf16Bytes(units, bigEndian, bytes);
        const bool odd = round % 7 == 0;
        if (odd)
            bytes += 'x';
        std::u16string want = units + (odd ? u"\uFFFD" : u"");
        const LineEnding wantEnding = NormalizeLineEndings(want);

        MemorySource source(bytes);
        std::u16string text;
        TextEncoding encoding;
        LineEnding ending;
        bool replaced = !odd;
        ASSERT_EQ(LoadUtf16(source, 3 + rng() % 8, text, encoding, ending, replaced),
                  Utf16Load::Loaded);
        EXPECT_EQ(encoding, bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
        EXPECT_TRUE(text == want) << round;
        EXPECT_EQ(ending, wantEnding) << round;
        EXPECT_EQ(replaced, odd) << round;
    }
}

// A UTF-16 load notices bytes that change between its passes as well, and
// they too are read again whole.
TEST(FileioPieces, AUtf16LoadNoticesBytesThatChangeBetweenPasses) {
    TextEncoding encoding;
    LineEnding ending;
    std::u16string out;
    MemorySource utf16(std::string_view("\xFF\xFE"
                                        "a\0",
                                        4));
    EXPECT_EQ(LoadUtf8(utf16, 8, out, encoding, ending), Utf8Load::NotUtf8);
    bool replaced = false;
    const std::string le("\xFF\xFE"
                         "a\0\n\0",
                         6);
    for (const std::string& second : {le + "b\0", std::string("\xFF\xFE\r\0\r\0", 6),
                                      std::string("\xFE\xFF\0a\0\n", 6), std::string("ab")}) {
        ChangingSource changed(le, second);
        EXPECT_EQ(LoadUtf16(changed, 4, out, encoding, ending, replaced), Utf16Load::Failed);
        ChangingSource file(le, le, second); // the UTF-8 look, then the two UTF-16 passes
        ExpectReadAs(file, second);
    }
    MemorySource utf32(std::string_view("\xFF\xFE\0\0a\0\0\0", 8));
    EXPECT_EQ(LoadUtf16(utf32, 4, out, encoding, ending, replaced), Utf16Load::NotUtf16);
}

TEST(FileioPieces, EncodingInStretchesMatchesEncodingWhole) {
    const std::vector<std::u16string> tokens = {u"a",
                                                u"\r",
                                                u"\n",
                                                u"\r\n",
                                                u"\u00E9",
                                                u"\u20AC",
                                                u"\u4E2D",
                                                u"\U0001F600",
                                                std::u16string(1, char16_t(0xD800)),
                                                std::u16string(1, char16_t(0xDC00))};
    const TextEncoding encodings[] = {TextEncoding::Utf8, TextEncoding::Ansi, TextEncoding::Utf16Be,
                                      TextEncoding::Utf32Le, TextEncoding::Utf8Bom};
    const LineEnding endings[] = {LineEnding::Crlf, LineEnding::Lf, LineEnding::Cr};
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        const std::u16string text = Draw(rng, tokens, static_cast<int>(rng() % 40));
        std::vector<std::u16string_view> pieces;
        for (size_t at = 0; at < text.size();) {
            const size_t length = std::min(text.size() - at, size_t{rng() % 6});
            pieces.push_back(std::u16string_view(text).substr(at, length));
            at += length;
        }
        const TextEncoding encoding = encodings[round % std::size(encodings)];
        const LineEnding ending = endings[rng() % 3];
        const std::u16string converted = ConvertLineEndingsForSave(text, ending);
        std::string whole;
        bool lost = false;
        if (encoding == TextEncoding::Utf16Be) {
            AppendUtf16Bytes(converted, true, whole = "\xFE\xFF");
        } else if (encoding == TextEncoding::Utf32Le) {
            AppendUtf32Bytes(converted, false, whole = std::string("\xFF\xFE\0\0", 4));
        } else {
            std::string body;
            ASSERT_TRUE(EncodeToCodePage(CodePageForEncoding(encoding), converted, body, lost));
            whole = (encoding == TextEncoding::Utf8Bom ? "\xEF\xBB\xBF" : "") + body;
            // UTF-8 reports no replacement; a text that does not come back lost some.
            std::u16string back;
            if (encoding != TextEncoding::Ansi)
                lost = !DecodeFromCodePage(kCodePageUtf8, body, back) || back != converted;
        }

        std::string streamed;
        EXPECT_TRUE(EncodePieces(pieces, encoding, ending, 2 + rng() % 4, [&](std::string_view b) {
            streamed += b;
            return true;
        }));
        EXPECT_EQ(streamed, whole) << round;
        EXPECT_EQ(PiecesLoseCharacters(pieces, encoding, 2), lost) << round;
    }
}

// A save whose bytes cannot all be made must leave the target as it was,
// whether it goes through a new file or writes in place after a backup.
TEST(FileioPieces, AProducerThatStopsHalfwayLeavesTheTargetAlone) {
    TempFolder folder;
    TempFolder::WriteBytes(folder.Path("one.txt"), "old");
    std::filesystem::create_hard_link(folder.Path("one.txt"), folder.Path("two.txt"));
    TempFolder::WriteBytes(folder.Path("solo.txt"), "old");
    auto stopsHalfway = [](const ByteSink& sink) { return sink("new bytes") && false; };
    for (const char* name : {"one.txt", "solo.txt", "fresh.txt"}) {
        SaveSafety safety;
        safety.keptBackup = u"stale";
        EXPECT_FALSE(WriteFileBytesSafely(folder.U16(name), stopsHalfway, &safety)) << name;
        EXPECT_EQ(safety.keptBackup, u"");
    }
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("two.txt")), "old");
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("solo.txt")), "old");
    EXPECT_EQ(folder.Entries().size(), 3u);
}
