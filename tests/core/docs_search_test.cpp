#include "docs/search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr SearchOptions kPlain{};
constexpr SearchOptions kCase{true, false};
constexpr SearchOptions kWord{false, true};

TEST(DocsSearch, CaseFoldsAndWordUnitsAreAsciiOnly) {
    const std::u16string text = u"Caf\u00C9 cafe CAFE";
    EXPECT_EQ(Find_FindFrom(text, u"caf\u00E9", 0, false), -1); // é does not fold to É
    EXPECT_EQ(Find_FindFrom(text, u"CAF\u00C9", 0, false), 0);
    EXPECT_EQ(Find_FindFrom(text, u"cafe", 6, false), 10);
    EXPECT_EQ(Find_FindFrom(u"`{", u"@", 0, false), -1); // the neighbours of A-Z stay
    EXPECT_EQ(Find_FindFrom(u"`{", u"[", 0, false), -1);
    EXPECT_EQ(Find_FindFrom(text, u"cafe", -50, true), 5);
    EXPECT_EQ(Find_FindFrom(text, u"", 0, false), -1);
    EXPECT_EQ(SearchDown(u"concat cat", u"cat", 0, kWord), 7);
    EXPECT_EQ(SearchDown(u"cat_x cat9", u"cat", 0, kWord), -1);
    EXPECT_EQ(SearchDown(u"\u00E9cat\u00F6", u"cat", 0, kWord), 1);
    EXPECT_EQ(SearchDown(u"x a b y", u"a b", 0, kWord), 2); // only the neighbours count
    EXPECT_TRUE(Find_IsWholeWordAt(u"ab", 5, 9));           // off the text: no neighbours
}

TEST(DocsSearch, NextMatchStepsFromTheSelectionWithoutWrapping) {
    EXPECT_EQ(NextMatch(u"aaaa", u"aa", 0, 2, true, kPlain), 2); // not inside the last match
    EXPECT_EQ(NextMatch(u"aaaa", u"aa", 4, 2, true, kPlain), -1);
    EXPECT_EQ(NextMatch(u"one one", u"ONE", 7, 7, true, kPlain), -1);
    EXPECT_EQ(NextMatch(u"ab", u"b", -9, 99, true, kPlain), -1); // clamped to the end
    const std::u16string text = u"cat cat cat";
    EXPECT_EQ(NextMatch(text, u"cat", 11, 8, false, kPlain), 4);
    EXPECT_EQ(NextMatch(text, u"cat", 6, 6, false, kPlain), 4); // the caret is inside it
    // A selection at the very start has nothing before it.
    EXPECT_EQ(NextMatch(text, u"cat", 0, 3, false, kPlain), -1);
    EXPECT_EQ(NextMatch(u"CAT x", u"cat", 5, 5, false, kCase), -1);
}

TEST(DocsSearch, MatchesNeverCutSurrogateOrCrLfPairs) {
    const std::u16string text = u"x\U0001F600y\U0001F601"; // D83D DE00, D83D DE01
    EXPECT_EQ(SearchDown(text, u"\xDE00", 0, kPlain), -1);
    EXPECT_EQ(SearchUp(text, u"\xD83D", 6, kPlain), -1);
    EXPECT_EQ(SearchDown(text, u"\U0001F601", 0, kPlain), 4);
    EXPECT_EQ(SearchDown(u"\xDE00 lone", u"\xDE00", 0, kPlain), 0);
    const std::u16string lines = u"a\r\nb\nc\r";
    EXPECT_EQ(SearchDown(lines, u"\n", 0, kPlain), 4);
    EXPECT_EQ(SearchDown(lines, u"\r", 0, kPlain), 6);
    EXPECT_EQ(SearchDown(lines, u"\r\n", 0, kPlain), 1);
    EXPECT_FALSE(IsMatchAt(lines, u"\r", 1, 2, kPlain));
    EXPECT_TRUE(IsMatchAt(u"a Cat b", u"cat", 5, 2, kPlain)); // either way round
    EXPECT_FALSE(IsMatchAt(u"a Cat b", u"cat", 2, 6, kPlain));
}

TEST(DocsSearch, ReplaceAllCountsAndPlacesTheLastInsertion) {
    ReplaceAllResult grown = ReplaceAll(u"aaa", u"a", u"aa", kPlain);
    EXPECT_EQ(grown.count, 3);
    EXPECT_EQ(grown.replacement, u"aaaaaa");
    EXPECT_EQ(grown.end, 3);
    EXPECT_EQ(grown.lastStart, 4);
    EXPECT_EQ(grown.lastEnd, 6);
    ReplaceAllResult inner = ReplaceAll(u"x cat y Cat z", u"cat", u"concat", kPlain);
    EXPECT_EQ(inner.count, 2);
    EXPECT_EQ(inner.start, 2);
    EXPECT_EQ(inner.end, 11);
    EXPECT_EQ(inner.replacement, u"concat y concat");
    EXPECT_EQ(inner.lastStart, 11);
    ReplaceAllResult none = ReplaceAll(u"abc", u"q", u"x", kPlain);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.end, 0);
    EXPECT_EQ(none.lastEnd, 0);
    // Refused whole when the result would grow past the limit; shrinking is fine.
    ReplaceAllResult refused = ReplaceAll(u"aaa", u"a", u"bb", kPlain, 5);
    EXPECT_TRUE(refused.tooLong);
    EXPECT_EQ(refused.count, 0);
    EXPECT_FALSE(ReplaceAll(u"aaa", u"a", u"bb", kPlain, 6).tooLong);
    EXPECT_FALSE(ReplaceAll(u"aaaaaa", u"aa", u"b", kPlain, 1).tooLong);
}

// The one-pass Replace All against Replace repeated on each next match, and
// both searches against a scan of every position, on random short texts.
TEST(DocsSearch, MatchesNeverSplitALetterFromItsMarks) {
    const std::u16string text = u"cafe\u0301 cafe\t\u0301x"; // the last mark stands alone
    EXPECT_EQ(SearchDown(text, u"e", 0, kPlain), 9);
    EXPECT_EQ(SearchDown(text, u"\u0301", 0, kPlain), 11);
    EXPECT_EQ(SearchDown(text, u"e\u0301", 0, kPlain), 3);
    EXPECT_EQ(SearchUp(text, u"cafe", 20, {false, true}), 6);
    // A replacement ending in a letter would take the mark after it.
    EXPECT_EQ(ReplaceAll(u"xx\u0301", u"x", u"e", kPlain).count, 1);
}

TEST(DocsSearch, AgreesWithRepeatedReplaceAndWithAFullScan) {
    const char16_t alphabet[] = {u'a',  u'A',      u'_',      u' ',   u'\r',
                                 u'\n', u'\u00E9', u'\u0301', 0xD83D, 0xDE00};
    std::mt19937 rng(7);
    auto random = [&](int maxLength) {
        std::u16string s(rng() % (maxLength + 1), u'a');
        for (char16_t& unit : s)
            unit = alphabet[rng() % std::size(alphabet)];
        return s;
    };
    for (int round = 0; round < 4000; ++round) {
        const std::u16string text = random(14);
        const std::u16string pattern = random(3);
        const std::u16string replacement = random(3);
        const SearchOptions options{rng() % 2 == 0, rng() % 2 == 0};
        const int32_t n = static_cast<int32_t>(pattern.size());
        const int32_t length = static_cast<int32_t>(text.size());
        SCOPED_TRACE(testing::Message() << "round " << round);
        auto matchAt = [&](int32_t p) {
            return n > 0 && p + n <= length && IsMatchAt(text, pattern, p, p + n, options);
        };
        for (int32_t from = 0; from <= length; ++from) {
            int32_t down = from;
            while (down <= length && !matchAt(down))
                ++down;
            EXPECT_EQ(SearchDown(text, pattern, from, options), down > length ? -1 : down);
            int32_t up = from;
            while (up >= 0 && !matchAt(up))
                --up;
            EXPECT_EQ(SearchUp(text, pattern, from, options), up);
        }

        std::u16string expected = text;
        int32_t count = 0;
        int32_t start = 0;
        int32_t end = 0;
        for (int32_t p; (p = NextMatch(expected, pattern, start, end, true, options)) >= 0;) {
            expected.replace(p, n, replacement);
            start = p;
            end = p + static_cast<int32_t>(replacement.size());
            ++count;
        }
        const ReplaceAllResult result = ReplaceAll(text, pattern, replacement, options);
        EXPECT_EQ(result.count, count);
        EXPECT_EQ(text.substr(0, result.start) + result.replacement + text.substr(result.end),
                  expected);
        EXPECT_EQ(result.lastStart, start);
        EXPECT_EQ(result.lastEnd, end);
    }
}

TEST(DocsSearch, ReplaceAllOnAMillionMatchesIsOnePass) {
    // A pass per match would take hours here.
    std::u16string text;
    for (int i = 0; i < 1'000'000; ++i)
        text += u"ab c ";
    const ReplaceAllResult result = ReplaceAll(text, u"AB", u"xyz", kWord);
    EXPECT_EQ(result.count, 1'000'000);
    EXPECT_EQ(result.replacement.size(), text.size() + 1'000'000 - 3);
}

} // namespace
