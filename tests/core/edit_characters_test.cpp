// Characters: the cell-width table against the Unicode Character Database,
// and the stops the caret may take.
#include "editctl/characters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kUcd[] = "/usr/share/unicode/";

// Code points listed in a UCD file with one property value, every `step`th
// of them: "first[..last];value # comment".
std::map<std::string, std::vector<char32_t>> Sample(const std::string& file, int field, int step,
                                                    std::string* version) {
    std::map<std::string, std::vector<char32_t>> byValue;
    std::ifstream in(kUcd + file);
    std::string line;
    int counter = 0;
    while (std::getline(in, line)) {
        if (version && version->empty() && line.rfind("# EastAsianWidth-", 0) == 0)
            *version = line.substr(17, line.find(".txt") - 17);
        line = line.substr(0, line.find('#'));
        std::vector<std::string> fields;
        std::stringstream parts(line);
        for (std::string part; std::getline(parts, part, ';');)
            fields.push_back(part.substr(0, part.find_last_not_of(' ') + 1));
        if (static_cast<int>(fields.size()) <= field)
            continue;
        const size_t dots = fields[0].find("..");
        const auto first = static_cast<char32_t>(std::stoul(fields[0], nullptr, 16));
        const char32_t last =
            dots == std::string::npos
                ? first
                : static_cast<char32_t>(std::stoul(fields[0].substr(dots + 2), nullptr, 16));
        for (char32_t c = first; c <= last; ++c)
            if (++counter % step == 0 || c == first)
                byValue[fields[field]].push_back(c);
    }
    return byValue;
}

TEST(CharacterWidths, FollowTheUnicodeCharacterDatabase) {
#ifdef _WIN32
    GTEST_SKIP() << "the database is read natively";
#endif
    std::string version;
    auto widths = Sample("EastAsianWidth.txt", 1, 7, &version);
    if (widths.empty())
        GTEST_SKIP() << "no " << kUcd << "EastAsianWidth.txt";
    if (version != CellWidthUnicodeVersion())
        GTEST_SKIP() << "database " << version << ", table " << CellWidthUnicodeVersion();
    const auto categories = Sample("UnicodeData.txt", 2, 1, nullptr);
    auto isMark = [&](char32_t c) {
        for (const char* category : {"Mn", "Me"}) {
            const auto& marks = categories.at(category);
            if (std::binary_search(marks.begin(), marks.end(), c))
                return true;
        }
        return c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F);
    };
    for (const char* value : {"W", "F", "N", "Na", "A", "H"}) {
        ASSERT_FALSE(widths[value].empty()) << value;
        const bool wide = value[0] == 'W' || value[0] == 'F';
        for (const char32_t c : widths[value])
            ASSERT_EQ(CellWidth(c), isMark(c) ? 0 : wide ? 2 : 1) << std::hex << int(c) << value;
    }
    for (const char* category : {"Mn", "Me"})
        for (const char32_t c : categories.at(category))
            ASSERT_EQ(CellWidth(c), 0) << std::hex << int(c);
    // Unlisted ideographs default to wide, other unlisted code points to narrow.
    EXPECT_EQ(CellWidth(0x2FFFD), 2);
    EXPECT_EQ(CellWidth(0x3FFFD), 2);
    EXPECT_EQ(CellWidth(0x10FFFD), 1);
}

TEST(CharacterWidths, LatinAndControlsTakeOneCell) {
    for (char32_t c = 0; c < 0x300; ++c)
        ASSERT_EQ(CellWidth(c), 1) << int(c);
    EXPECT_EQ(CellWidth(0x110000), 1);
}

// Every position of `text` that is a stop, in order.
std::vector<int32_t> Stops(std::u16string_view text) {
    std::vector<int32_t> stops;
    for (int32_t p = 0; p <= static_cast<int32_t>(text.size()); ++p)
        if (IsCharStop(text, p))
            stops.push_back(p);
    return stops;
}

TEST(CharacterStops, PairsAndMarksAreOneCharacter) {
    // An emoji pair, e with an acute accent, CR LF, a heart with a variation
    // selector, a ZWJ after a pair and two ideographs.
    const std::u16string text = u"\U0001F600e\u0301\r\n\u2764\ufe0f\U0001F468\u200d\u4e2d\u6587";
    EXPECT_EQ(Stops(text), (std::vector<int32_t>{0, 2, 4, 6, 8, 11, 12, 13}));
    for (int32_t p = 0; p < static_cast<int32_t>(text.size()); ++p) {
        EXPECT_TRUE(IsCharStop(text, NextCharStop(text, p)));
        EXPECT_GT(NextCharStop(text, p), p);
    }
    EXPECT_EQ(NextCharStop(text, 0), 2);
    EXPECT_EQ(NextCharStop(text, 1), 2);
    EXPECT_EQ(PrevCharStop(text, 4), 2);
    EXPECT_EQ(PrevCharStop(text, 11), 8);
    EXPECT_EQ(CharStopAtOrBefore(text, 3), 2);
    EXPECT_EQ(NextCharStop(text, 99), 13);
    EXPECT_EQ(PrevCharStop(text, -5), 0);
    EXPECT_EQ(CharacterCells(text, 0), 2);
    EXPECT_EQ(CharacterCells(text, 2), 1);
    EXPECT_EQ(CharacterCells(text, 11), 2);
}

TEST(CharacterStops, LoneSurrogatesAndLeadingMarksStandAlone) {
    // A lone low, a lone high before a letter, a lone high before a mark.
    EXPECT_EQ(Stops(u"\xDC00"
                    u"a\xD800"
                    u"b\xD800\u0301"),
              (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6}));
    // A mark at the start, after a break or after a tab has no character to join.
    EXPECT_EQ(Stops(u"\u0301\u0302\n\u0301\t\u0301"), (std::vector<int32_t>{0, 2, 3, 4, 5, 6}));
    EXPECT_EQ(CharacterCells(u"\u0301", 0), 1);
    EXPECT_EQ(CodePointAt(u"\xD800"
                          u"a",
                          0),
              0xD800u);
    EXPECT_TRUE(IsRightToLeft(0x5D0));
    EXPECT_TRUE(IsRightToLeft(0x202E));
    EXPECT_FALSE(IsRightToLeft(0x4E2D));
}

} // namespace
