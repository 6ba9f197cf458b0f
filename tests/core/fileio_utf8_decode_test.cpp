// Decoding UTF-8 straight into CR LF text must give, unit for unit and count
// for count, what the code page converter gives with every break widened to
// CR LF, however the bytes are cut into pieces, and must refuse bytes it
// cannot trust; with each kind of vector decoding the processor has and
// without any.
#include "fileio/codepage.h"
#include "fileio/utf8_compress.h"
#include "fileio/utf8_decode.h"
#include "fileio/utf8_shuffle.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Characters that sit badly on a word or a piece: breaks, the bytes next to
// CR and LF, and the first and last value of each sequence length.
const std::vector<std::string> kCharacters = {"\r",
                                              "\n",
                                              "\r",
                                              "\n",
                                              std::string(1, '\0'),
                                              "\x09",
                                              "\x0B",
                                              "\x0C",
                                              "\x0E",
                                              "\x7F",
                                              "\xC2\x80",
                                              "\xDF\xBF",
                                              "\xE0\xA0\x80",
                                              "\xED\x9F\xBF",
                                              "\xEE\x80\x80",
                                              "\xEF\xBF\xBF",
                                              "\xF0\x90\x80\x80",
                                              "\xF4\x8F\xBF\xBF"};

// Well-formed bytes as characters: ASCII runs of every length around the
// eight bytes a step takes, between the characters above.
std::vector<std::string> DrawCharacters(std::mt19937& rng) {
    std::vector<std::string> chars;
    const int count = static_cast<int>(rng() % 40);
    for (int k = 0; k < count; ++k) {
        for (size_t run = rng() % 20; run > 0; --run)
            chars.push_back(std::string(1, static_cast<char>('a' + rng() % 26)));
        chars.push_back(kCharacters[rng() % kCharacters.size()]);
    }
    return chars;
}

// Decodes pieces, each in its own exactly sized buffer so that the
// sanitizers see any read past it, into a room of exactly `room` units.
bool DecodeInPieces(const std::vector<std::string>& pieces, size_t room, std::u16string& text,
                    LineBreakCounts& counts) {
    std::vector<char16_t> out(room);
    Utf8Decoding decoding;
    size_t used = 0;
    for (const std::string& piece : pieces) {
        size_t written = 0;
        if (!DecodeUtf8Normalized(piece, out.data() + used, room - used, written, decoding))
            return false;
        used += written;
    }
    text.assign(out.data(), used);
    counts = decoding.counts;
    return true;
}

// Runs check with the widest vectors the processor has, then with
// narrower ones, then without any.
template <typename Check> void WithEachDecoding(Check check) {
    for (const int widest : {2, 1, 0}) {
        UseUtf8Compress(widest >= 2);
        UseUtf8Shuffles(widest >= 1);
        check();
    }
    UseUtf8Compress(true);
    UseUtf8Shuffles(true);
}

// Every break of a decoded text written as CR LF, one unit at a time.
std::u16string WidenBreaks(std::u16string_view text, LineBreakCounts& counts) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            out += text[i];
            continue;
        }
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++counts.crlf;
            ++i;
        } else {
            ++(text[i] == u'\r' ? counts.cr : counts.lf);
        }
        out += u"\r\n";
    }
    return out;
}

} // namespace

TEST(FileioUtf8Decode, MatchesTheConverterAndNormalisingWhereverThePiecesEnd) {
    WithEachDecoding([] {
        std::mt19937 rng(3);
        for (int round = 0; round < 3000; ++round) {
            const std::vector<std::string> chars = DrawCharacters(rng);
            std::string whole;
            std::vector<std::string> pieces(1);
            for (const std::string& c : chars) {
                while (rng() % 6 == 0)
                    pieces.emplace_back();
                pieces.back() += c;
                whole += c;
            }
            std::u16string decoded;
            LineBreakCounts expectedCounts;
            ASSERT_TRUE(DecodeFromCodePage(kCodePageUtf8, whole, decoded));
            const std::u16string expected = WidenBreaks(decoded, expectedCounts);

            const size_t room = expected.size() + (round % 2 ? rng() % 20 : 0);
            std::u16string text;
            LineBreakCounts counts;
            ASSERT_TRUE(DecodeInPieces(pieces, room, text, counts)) << round;
            EXPECT_TRUE(text == expected) << round;
            EXPECT_EQ(counts.crlf, expectedCounts.crlf) << round;
            EXPECT_EQ(counts.lf, expectedCounts.lf) << round;
            EXPECT_EQ(counts.cr, expectedCounts.cr) << round;
            if (!expected.empty()) {
                EXPECT_FALSE(DecodeInPieces(pieces, expected.size() - 1, text, counts)) << round;
            }
        }
    });
}

// What a file changed under the loader can hold: anything a sequence must
// not be, wherever it falls, also cut off at the end of a piece.
TEST(FileioUtf8Decode, RefusesBytesThatAreNotWellFormed) {
    const std::vector<std::string> broken = {"\x80",
                                             "\xBF",
                                             "\xC0",
                                             "\xC0\x80",
                                             "\xC1\xBF",
                                             "\xC2",
                                             "\xC2\x41",
                                             "\xE0\x9F\xBF",
                                             "\xE2\x82",
                                             "\xE2\x82\x41",
                                             "\xED\xA0\x80",
                                             "\xF0\x8F\xBF\xBF",
                                             "\xF4\x90\x80\x80",
                                             "\xF1\x80\x80",
                                             "\xF5\x80\x80\x80",
                                             "\xFF",
                                             "\xF0\x9F\x98\x80\x80"};
    WithEachDecoding([&broken] {
        std::mt19937 rng(8);
        for (int round = 0; round < 1000; ++round) {
            std::string bytes;
            for (const std::string& c : DrawCharacters(rng))
                bytes += c;
            const std::string& bad = broken[rng() % broken.size()];
            bytes.insert(round % 2 ? bytes.size() : rng() % (bytes.size() + 1), bad);
            ASSERT_FALSE(IsWellFormedUtf8(bytes.data(), bytes.size(), 0)) << round;
            std::u16string text;
            LineBreakCounts counts;
            EXPECT_FALSE(DecodeInPieces({bytes}, 2 * bytes.size(), text, counts))
                << round << " " << bad.size();
        }
    });
}

// The vector steps take sixteen or sixty-four bytes and look further,
// carrying a sequence or a CR LF pair to the next step or stopping before
// it: every character must decode as without them wherever a step starts
// and wherever the bytes end, even inside a sequence, and in no more room
// than it needs.
TEST(FileioUtf8Decode, VectorsDecodeAsWithoutWhereverTheStepsAndBytesEnd) {
    // No lone break: the steps stop at each, and would start at each
    // whatever the padding. The text starts with an emoji whose surrogates
    // differ in their low bits and a line of ASCII longer than a step, and
    // ends in an emoji cut short and enough bytes after it for a step to
    // look past it.
    std::string text = "\xF0\x9F\x98\x80\r\n" + std::string(70, 'q') + "\r\n";
    for (const std::string& c : kCharacters) {
        if (c != "\r" && c != "\n")
            text += c + "\r\n" + c + "xy";
    }
    text += "\xF0\x9F\x98" + std::string(80, 'x');
    for (const bool compress : {true, false}) {
        for (size_t pad = 0; pad < 64; ++pad) {
            for (size_t end = 0; end <= text.size(); ++end) {
                const std::string bytes = std::string(pad, 'a') + text.substr(0, end);
                std::u16string plain;
                LineBreakCounts plainCounts;
                UseUtf8Shuffles(false);
                UseUtf8Compress(false);
                const bool plainDecoded =
                    DecodeInPieces({bytes}, 2 * bytes.size(), plain, plainCounts);
                UseUtf8Shuffles(true);
                UseUtf8Compress(compress);
                const size_t room = plainDecoded ? plain.size() : 2 * bytes.size();
                std::u16string decoded;
                LineBreakCounts counts;
                ASSERT_EQ(DecodeInPieces({bytes}, room, decoded, counts), plainDecoded)
                    << pad << " " << end;
                if (!plainDecoded)
                    continue;
                EXPECT_TRUE(decoded == plain) << pad << " " << end;
                EXPECT_EQ(counts.crlf, plainCounts.crlf) << pad << " " << end;
                EXPECT_EQ(counts.cr, plainCounts.cr) << pad << " " << end;
                if (!plain.empty()) {
                    EXPECT_FALSE(DecodeInPieces({bytes}, plain.size() - 1, decoded, counts))
                        << pad << " " << end;
                }
            }
        }
    }
    UseUtf8Compress(true);
    // A lone break that the room ends one unit into, within a step.
    for (const size_t before : {15, 63}) {
        std::u16string decoded;
        LineBreakCounts counts;
        EXPECT_FALSE(DecodeInPieces({std::string(before, 'a') + "\n" + std::string(80, 'b')},
                                    before + 1, decoded, counts));
    }
}
