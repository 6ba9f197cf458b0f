// The start of a large file shown while it loads: always the start of the
// text the whole file gives, ending with a whole line; and a load that can
// be followed and stopped.
#include "fileio/text_file.h"
#include "fileio/text_start.h"
#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

} // namespace

TEST(TextStart, IsTheStartOfTheWholeTextCutAfterALine) {
    const std::string lines =
        "caf\xC3\xA9 \xF0\x9F\x98\x80\r\nline two\r\n\r\n\xE2\x82\xAC end\r\n";
    const std::vector<std::string> files = {
        lines,
        "\xEF\xBB\xBF" + lines,
        "one\rtwo\rthree \xC3\xA9\r",
        "no break at all \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
        "latin \xE9 one\nlatin two\n",
        Utf16Le(u"h\u00E9\r\n\U0001F600 x\r\ny\r\n"),
        std::string("\xFE\xFF\0a\0\r\0\n\0b\0\n", 12),
        std::string("\xFF\xFE\0\0a\0\0\0\n\0\0\0b\0\0\0", 16),
    };
    for (const std::string& file : files) {
        std::u16string whole;
        TextEncoding wholeEncoding;
        LineEnding wholeEnding;
        ASSERT_TRUE(DecodeText(file, whole, wholeEncoding, wholeEnding));
        for (size_t cut = 5; cut < file.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "file " << &file - files.data() << " cut " << cut);
            std::u16string start;
            TextEncoding encoding;
            LineEnding ending;
            ASSERT_TRUE(
                DecodeTextStart(std::string_view(file).substr(0, cut), start, encoding, ending));
            // A start in ASCII cannot tell UTF-8 from an ANSI code page.
            const bool ascii =
                std::all_of(start.begin(), start.end(), [](char16_t unit) { return unit < 0x80; });
            if (!ascii || wholeEncoding != TextEncoding::Ansi) {
                EXPECT_EQ(encoding, wholeEncoding);
            }
            EXPECT_EQ(whole.substr(0, start.size()), start);
            const bool endsLine =
                !start.empty() && (start.back() == u'\n' || start.back() == u'\r');
            EXPECT_TRUE(endsLine || start.find_first_of(u"\r\n") == std::u16string::npos);
        }
    }
}

TEST(TextStart, AWatchedLoadTellsItsProgressAndCanBeStopped) {
    TempFolder folder;
    std::string bytes;
    while (bytes.size() < (3u << 20))
        bytes += "a line of text \xC3\xA9\r\n";
    TempFolder::WriteBytes(folder.Path("a.txt"), bytes);
    std::vector<uint64_t> told;
    std::vector<size_t> decoded;
    std::u16string lastSeen;
    const ReadWatch follow{[&](uint64_t read) {
                               told.push_back(read);
                               return true;
                           },
                           [&](const char16_t* units, size_t written, size_t total) {
                               ASSERT_NE(units, nullptr);
                               decoded.push_back(written);
                               lastSeen.assign(units, written);
                               // Projected from the first piece's units a byte.
                               EXPECT_NEAR(static_cast<double>(total),
                                           static_cast<double>(bytes.size() - bytes.size() / 19),
                                           static_cast<double>(bytes.size()) / 100);
                           }};
    std::u16string text;
    TextEncoding encoding;
    LineEnding ending;
    ASSERT_TRUE(ReadTextFile(folder.U16("a.txt"), text, encoding, ending, nullptr, nullptr, nullptr,
                             &follow));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_GE(told.back(), bytes.size());
    // The decoded text is told a piece at a time, the last time whole.
    EXPECT_GT(decoded.size(), 2u);
    EXPECT_TRUE(std::is_sorted(decoded.begin(), decoded.end()));
    EXPECT_EQ(lastSeen, text);

    const ReadWatch stop{[](uint64_t read) { return read == 0; }, {}};
    FileFailure failure = FileFailure::None;
    EXPECT_FALSE(ReadTextFile(folder.U16("a.txt"), text, encoding, ending, nullptr, nullptr,
                              &failure, &stop));
    EXPECT_NE(failure, FileFailure::None);
}
