// Characters: the cell-width table against the Unicode Character Database,
// and the stops the caret may take.
#include "editctl/characters.h"
#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

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

void AppendCodePoint(std::u16string& text, char32_t c) {
    if (c > 0xFFFF) {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        text += static_cast<char16_t>(c);
    }
}

// The values of one property in a UCD file, every code point listed.
std::map<char32_t, std::string> Listed(const std::string& file) {
    std::map<char32_t, std::string> values;
    std::ifstream in(kUcd + file);
    for (std::string line; std::getline(in, line);) {
        std::stringstream fields(line.substr(0, line.find('#')));
        std::string span, value;
        if (!std::getline(fields, span, ';') || !(fields >> value))
            continue;
        const auto first = static_cast<char32_t>(std::stoul(span, nullptr, 16));
        const size_t dots = span.find("..");
        const auto last =
            dots == std::string::npos
                ? first
                : static_cast<char32_t>(std::stoul(span.substr(dots + 2), nullptr, 16));
        for (char32_t c = first; c <= last; ++c)
            values[c] = value;
    }
    return values;
}

TEST(GraphemeClusters, TheTableFollowsTheUnicodeCharacterDatabase) {
#ifdef _WIN32
    GTEST_SKIP() << "the database is read natively";
#endif
    const auto breaks = Listed("auxiliary/GraphemeBreakProperty.txt");
    const auto emoji = Listed("emoji/emoji-data.txt");
    if (breaks.empty() || emoji.empty())
        GTEST_SKIP() << "no grapheme break or emoji data under " << kUcd;
    const char* names[] = {
        "Other",   "CR",          "LF", "Control", "Extend", "ZWJ", "Regional_Indicator",
        "Prepend", "SpacingMark", "L",  "V",       "T",      "LV",  "LVT"};
    for (char32_t c = 0; c < 0x110000; ++c) {
        const auto listed = breaks.find(c);
        // A surrogate, only ever a lone half in UTF-16 text, stands alone.
        const std::string want = c >= 0xD800 && c <= 0xDFFF ? "Control"
                                 : listed == breaks.end()   ? "Other"
                                                            : listed->second;
        ASSERT_EQ(names[static_cast<int>(GraphemeBreakOf(c))], want) << std::hex << int(c);
        const auto pictographic = emoji.find(c);
        ASSERT_EQ(IsExtendedPictographic(c),
                  pictographic != emoji.end() && pictographic->second == "Extended_Pictographic")
            << std::hex << int(c);
    }
    EXPECT_STREQ(GraphemeBreakUnicodeVersion(), CellWidthUnicodeVersion());
}

// Every case of the Unicode conformance file, through each way the code
// finds a boundary: at a position, walking forward and back, and from the
// rules' state after the text before it, as search does.
TEST(GraphemeClusters, EveryConformanceCaseBreaksWhereUnicodeSays) {
#ifdef _WIN32
    GTEST_SKIP() << "the database is read natively";
#endif
    std::ifstream in(std::string(kUcd) + "auxiliary/GraphemeBreakTest.txt");
    if (!in)
        GTEST_SKIP() << "no GraphemeBreakTest.txt under " << kUcd;
    int cases = 0;
    for (std::string line; std::getline(in, line);) {
        std::stringstream tokens(line.substr(0, line.find('#')));
        std::u16string text;
        std::vector<int32_t> expected;
        for (std::string token; tokens >> token;) {
            if (token == "\xC3\xB7") // the division sign: a break
                expected.push_back(static_cast<int32_t>(text.size()));
            else if (token != "\xC3\x97") // not the multiplication sign: a code point
                AppendCodePoint(text, static_cast<char32_t>(std::stoul(token, nullptr, 16)));
        }
        if (text.empty())
            continue;
        ++cases;
        SCOPED_TRACE(line);
        ASSERT_EQ(Stops(text), expected);
        std::vector<int32_t> forward = {0}, backward = {static_cast<int32_t>(text.size())};
        while (forward.back() < static_cast<int32_t>(text.size())) {
            const int32_t stop = forward.back();
            ASSERT_EQ(CharacterAt(text, stop).end, NextCharStop(text, stop));
            forward.push_back(CharacterAt(text, stop).end);
        }
        while (backward.front() > 0)
            backward.insert(backward.begin(), PrevCharStop(text, backward.front()));
        EXPECT_EQ(forward, expected);
        EXPECT_EQ(backward, expected);
        // The state from the start, and from the state after the first code point.
        const size_t head = CodePointAt(text, 0) > 0xFFFF ? 2 : 1;
        const ClusterState afterHead = ClusterStateAfter(std::u16string_view(text).substr(0, head));
        for (int32_t p = 1; p < static_cast<int32_t>(text.size()); ++p) {
            if (IsLowSurrogate(text[p]))
                continue;
            const std::u16string_view before(text.data(), static_cast<size_t>(p));
            EXPECT_EQ(BreaksBefore(ClusterStateAfter(before), CodePointAt(text, p)),
                      IsCharStop(text, p))
                << p;
            if (static_cast<size_t>(p) > head) {
                EXPECT_EQ(BreaksBefore(ClusterStateAfter(before.substr(head), afterHead),
                                       CodePointAt(text, p)),
                          IsCharStop(text, p))
                    << p;
            }
        }
    }
    EXPECT_GT(cases, 600);
}

// Cells of whole characters, and what Backspace leaves of them.
TEST(GraphemeClusters, CellsAndBackspace) {
    struct Case {
        const char16_t* text;
        int cells;
        int32_t backspaceTo; // Backspace at the end
    };
    const Case cases[] = {
        {u"e\u0301", 1, 1},                                    // a decomposed accent loses its mark
        {u"e\u0301\u0323", 1, 2},                              // the last of two
        {u"\u0915\u093F", 1, 1},                               // a Devanagari vowel sign
        {u"\u2764\uFE0F", 2, 0},                               // a heart as emoji, whole
        {u"\u2764", 1, 0},                                     // and as text
        {u"1\uFE0F\u20E3", 2, 0},                              // a keycap
        {u"#\u20E3", 2, 0},                                    // one without its selector
        {u"\U0001F1EF\U0001F1F5", 2, 0},                       // a flag
        {u"\U0001F1EF", 1, 0},                                 // half a flag
        {u"\u261D\U0001F3FD", 2, 0},                           // a skin tone on a narrow pictograph
        {u"\U0001F468\u200D\U0001F469\u200D\U0001F467", 2, 0}, // a family
        {u"\u00A9\u200D\u00AE", 2, 0},                         // pictographs below U+0300 joined
        {u"\U0001F600\u0301", 2, 0},                           // a mark on an emoji goes with it
        {u"a\u200D\u0301", 1, 0},                              // no ZWJ is left dangling
        {u"\u1100\u1161\u11A8", 2, 0},                         // a Hangul syllable of jamo
        {u"\u0301", 1, 0},                                     // a mark on its own
        {u"\u4E2D", 2, 0},
        {u"\xD800", 1, 0}, // a lone surrogate
    };
    for (const Case& c : cases) {
        const std::u16string text = c.text;
        SCOPED_TRACE(testing::PrintToString(std::vector<int>(text.begin(), text.end())));
        const CharacterExtent character = CharacterAt(text, 0);
        EXPECT_EQ(character.end, static_cast<int32_t>(text.size()));
        EXPECT_EQ(character.cells, c.cells);
        EXPECT_EQ(BackspaceStop(TextBuffer(text), static_cast<int32_t>(text.size())),
                  c.backspaceTo);
    }
    // A mark after a control or a lone surrogate starts a character.
    EXPECT_EQ(Stops(u"\t\u0301\xD800\u0301"), (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Stops(u"\U0001F1EF\U0001F1F5\U0001F1FA"), (std::vector<int32_t>{0, 4, 6}));
    EXPECT_TRUE(IsRightToLeft(0x5D0));
    EXPECT_FALSE(IsRightToLeft(0x4E2D));
}

} // namespace
