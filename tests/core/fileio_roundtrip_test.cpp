// Load, save in the detected form, load again: the text and the form must
// come back. Exact for UTF-8, which loads only when well-formed, and for ANSI
// with code page 1252, where every byte decodes to a character that encodes
// back to it.
#include "fileio/text_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Random file bytes: mostly ASCII with CR and LF, some well-formed
// multibyte characters, optionally zero bytes and invalid or truncated
// sequences.
std::string RandomBytes(std::mt19937& rng, bool allowInvalid) {
    static const char* const kPieces[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD",
                                          "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"};
    static const char* const kInvalid[] = {"\x80",     "\xBF",         "\xC3",
                                           "\xE2\x82", "\xF8",         "\xFF",
                                           "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    const int length = std::uniform_int_distribution<int>(0, 40)(rng);
    std::string bytes;
    for (int i = 0; i < length; ++i) {
        const int kind = std::uniform_int_distribution<int>(0, 99)(rng);
        if (kind < 55)
            bytes += static_cast<char>(std::uniform_int_distribution<int>(' ', '~')(rng));
        else if (kind < 67)
            bytes += '\r';
        else if (kind < 79)
            bytes += '\n';
        else if (kind < 91)
            bytes += kPieces[rng() % std::size(kPieces)];
        else if (kind < 94)
            bytes += '\0';
        else if (allowInvalid)
            bytes += kInvalid[rng() % std::size(kInvalid)];
    }
    return bytes;
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

} // namespace

TEST(FileioRoundTrip, LoadSaveLoadKeepsTextAndForm) {
    std::mt19937 rng(20240611);
    int ansiCases = 0;
    for (int n = 0; n < 4000; ++n) {
        const std::string original = RandomBytes(rng, n % 2 == 1);
        std::u16string text;
        TextEncoding encoding;
        LineEnding lineEnding;
        ASSERT_TRUE(DecodeText(original, text, encoding, lineEnding));
        ASSERT_FALSE(HasLoneBreak(text)) << n;
        ansiCases += encoding == TextEncoding::Ansi;

        EXPECT_FALSE(EncodingLosesCharacters(text, encoding)) << n;
        std::string saved;
        ASSERT_TRUE(EncodeText(text, encoding, lineEnding, saved));

        std::u16string again;
        TextEncoding encodingAgain;
        LineEnding lineEndingAgain;
        ASSERT_TRUE(DecodeText(saved, again, encodingAgain, lineEndingAgain));
        EXPECT_EQ(again, text) << n;
        EXPECT_EQ(encodingAgain, encoding) << n;
        const LineEnding expected = lineEnding == LineEnding::Mixed ? LineEnding::Crlf : lineEnding;
        EXPECT_EQ(lineEndingAgain, expected) << n;

        // From here on the file is stable: saving again writes the same bytes.
        std::string savedAgain;
        ASSERT_TRUE(EncodeText(again, encoding, lineEndingAgain, savedAgain));
        EXPECT_EQ(savedAgain, saved) << n;
    }
    // Both decoders must have been exercised in earnest.
    EXPECT_GT(ansiCases, 500);
    EXPECT_LT(ansiCases, 3500);
}
