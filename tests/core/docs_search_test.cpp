#include "docs/search.h"
#include "editctl/characters.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A match by its definition, tried at one place: the units equal (A-Z folded
// unless the case must match), no character (characters.h) cut at either
// end, and for whole words no word unit on either side.
bool IsMatch(std::u16string_view text, std::u16string_view pattern, int32_t p,
             const SearchOptions& options) {
    const int32_t n = static_cast<int32_t>(pattern.size());
    const int32_t length = static_cast<int32_t>(text.size());
    if (n == 0 || p + n > length)
        return false;
    for (int32_t k = 0; k < n; ++k) {
        const char16_t a = text[p + k];
        const char16_t b = pattern[k];
        if (options.matchCase ? a != b : FoldAsciiCase(a) != FoldAsciiCase(b))
            return false;
    }
    if (!IsCharStop(text, p) || !IsCharStop(text, p + n))
        return false;
    auto at = [&](int32_t i) -> char16_t { return i >= 0 && i < length ? text[i] : 0; };
    return !options.wholeWord || (!IsWordUnit(at(p - 1)) && !IsWordUnit(at(p + n)));
}

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
    EXPECT_EQ(Find_SearchDown(u"concat cat", u"cat", 0, kWord), 7);
    EXPECT_EQ(Find_SearchDown(u"cat_x cat9", u"cat", 0, kWord), -1);
    EXPECT_EQ(Find_SearchDown(u"\u00E9cat\u00F6", u"cat", 0, kWord), 1);
    EXPECT_EQ(Find_SearchDown(u"x a b y", u"a b", 0, kWord), 2); // only the neighbours count
    EXPECT_EQ(Find_SearchDown(u"x cat", u"cat", 0, kWord), 2);   // the ends have no neighbours
}

TEST(DocsSearch, NextMatchStepsFromTheSelectionWithoutWrapping) {
    EXPECT_EQ(Find_NextMatch(u"aaaa", u"aa", 0, 2, true, kPlain), 2); // not inside the last match
    EXPECT_EQ(Find_NextMatch(u"aaaa", u"aa", 4, 2, true, kPlain), -1);
    EXPECT_EQ(Find_NextMatch(u"one one", u"ONE", 7, 7, true, kPlain), -1);
    EXPECT_EQ(Find_NextMatch(u"ab", u"b", -9, 99, true, kPlain), -1); // clamped to the end
    const std::u16string text = u"cat cat cat";
    EXPECT_EQ(Find_NextMatch(text, u"cat", 11, 8, false, kPlain), 4);
    EXPECT_EQ(Find_NextMatch(text, u"cat", 6, 6, false, kPlain), 4); // the caret is inside it
    // Up from a selection at the very start finds the match there again, but
    // none that starts later.
    EXPECT_EQ(Find_NextMatch(text, u"cat", 3, 0, false, kPlain), 0);
    EXPECT_EQ(Find_NextMatch(u"xcat", u"cat", 0, 0, false, kPlain), -1);
    EXPECT_EQ(Find_NextMatch(u"CAT x", u"cat", 5, 5, false, kCase), -1);
}

TEST(DocsSearch, MatchesNeverCutSurrogateOrCrLfPairs) {
    const std::u16string text = u"x\U0001F600y\U0001F601"; // D83D DE00, D83D DE01
    EXPECT_EQ(Find_SearchDown(text, u"\xDE00", 0, kPlain), -1);
    EXPECT_EQ(Find_SearchUp(text, u"\xD83D", 6, kPlain), -1);
    EXPECT_EQ(Find_SearchDown(text, u"\U0001F601", 0, kPlain), 4);
    EXPECT_EQ(Find_SearchDown(u"\xDE00 lone", u"\xDE00", 0, kPlain), 0);
    const std::u16string lines = u"a\r\nb\nc\r";
    EXPECT_EQ(Find_SearchDown(lines, u"\n", 0, kPlain), 4);
    EXPECT_EQ(Find_SearchDown(lines, u"\r", 0, kPlain), 6);
    EXPECT_EQ(Find_SearchDown(lines, u"\r\n", 0, kPlain), 1);
    EXPECT_EQ(Find_SearchUp(lines, u"\r", 5, kPlain), -1);
}

TEST(DocsSearch, ReplaceAllCountsAndPlacesTheLastInsertion) {
    ReplaceAllResult grown = Find_ReplaceAll(u"aaa", u"a", u"aa", kPlain);
    EXPECT_EQ(grown.count, 3);
    EXPECT_EQ(grown.replacement, u"aaaaaa");
    EXPECT_EQ(grown.end, 3);
    EXPECT_EQ(grown.lastStart, 4);
    EXPECT_EQ(grown.lastEnd, 6);
    ReplaceAllResult inner = Find_ReplaceAll(u"x cat y Cat z", u"cat", u"concat", kPlain);
    EXPECT_EQ(inner.count, 2);
    EXPECT_EQ(inner.start, 2);
    EXPECT_EQ(inner.end, 11);
    EXPECT_EQ(inner.replacement, u"concat y concat");
    EXPECT_EQ(inner.lastStart, 11);
    ReplaceAllResult none = Find_ReplaceAll(u"abc", u"q", u"x", kPlain);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.end, 0);
    EXPECT_EQ(none.lastEnd, 0);
    // Refused whole when the result would grow past the limit; shrinking is fine.
    ReplaceAllResult refused = Find_ReplaceAll(u"aaa", u"a", u"bb", kPlain, 5);
    EXPECT_TRUE(refused.tooLong);
    EXPECT_EQ(refused.count, 0);
    EXPECT_FALSE(Find_ReplaceAll(u"aaa", u"a", u"bb", kPlain, 6).tooLong);
    EXPECT_FALSE(Find_ReplaceAll(u"aaaaaa", u"aa", u"b", kPlain, 1).tooLong);
}

TEST(DocsSearch, MatchesNeverSplitALetterFromItsMarks) {
    const std::u16string text = u"cafe\u0301 cafe\t\u0301x"; // the last mark stands alone
    EXPECT_EQ(Find_SearchDown(text, u"e", 0, kPlain), 9);
    EXPECT_EQ(Find_SearchDown(text, u"\u0301", 0, kPlain), 11);
    EXPECT_EQ(Find_SearchDown(text, u"e\u0301", 0, kPlain), 3);
    EXPECT_EQ(Find_SearchUp(text, u"cafe", 20, {false, true}), 6);
    // A replacement ending in a letter would take the mark after it.
    EXPECT_EQ(Find_ReplaceAll(u"xx\u0301", u"x", u"e", kPlain).count, 1);
}

// The one-pass Replace All against Replace repeated on each next match, and
// both searches against a scan of every position, on random short texts,
// now and then with a long run of marks or regional indicators, read whole
// and in pieces cut anywhere.
TEST(DocsSearch, AgreesWithRepeatedReplaceAndWithAFullScan) {
    // Halves of an emoji and of a regional indicator, a ZWJ and the
    // pictograph below U+0300 make emoji sequences and flags now and then.
    const char16_t alphabet[] = {u'a',      u'A',   u'_',   u' ',      u'\r',     u'\n',  u'\u00E9',
                                 u'\u0301', 0xD83D, 0xDE00, u'\u200D', u'\u00A9', 0xD83C, 0xDDEF};
    std::mt19937 rng(7);
    auto random = [&](int maxLength) {
        std::u16string s(rng() % (maxLength + 1), u'a');
        for (char16_t& unit : s)
            unit = alphabet[rng() % std::size(alphabet)];
        return s;
    };
    for (int round = 0; round < 4000; ++round) {
        std::u16string text = random(14);
        std::u16string pattern = random(3);
        if (round % 50 == 0) {
            // A flag's second half, or a pictograph joined after many marks of
            // one and two units.
            const bool flags = rng() % 2 == 0;
            std::u16string run = flags ? u"" : u"\u00A9";
            for (int k = 40 + static_cast<int>(rng() % 60); k > 0; --k)
                run += flags ? u"\U0001F1EF" : rng() % 2 ? u"\u0301" : u"\U0001F3FB";
            run += flags ? u"" : u"\u200D\u00A9";
            text.insert(rng() % (text.size() + 1), run);
            if (rng() % 2 == 0)
                pattern = flags ? u"\U0001F1EF" : u"\u00A9";
        }
        const size_t cuts[] = {rng() % (text.size() + 1), rng() % (text.size() + 1)};
        const std::u16string_view whole = text;
        const std::u16string_view pieces[] = {
            whole.substr(0, std::min(cuts[0], cuts[1])),
            whole.substr(std::min(cuts[0], cuts[1]),
                         cuts[0] > cuts[1] ? cuts[0] - cuts[1] : cuts[1] - cuts[0]),
            whole.substr(std::max(cuts[0], cuts[1]))};
        const SearchText pieced(pieces);
        const std::u16string replacement = random(3);
        const SearchOptions options{rng() % 2 == 0, rng() % 2 == 0};
        const int32_t n = static_cast<int32_t>(pattern.size());
        const int32_t length = static_cast<int32_t>(text.size());
        SCOPED_TRACE(testing::Message() << "round " << round);
        std::vector<bool> isMatch;
        for (int32_t p = 0; p <= length; ++p)
            isMatch.push_back(IsMatch(text, pattern, p, options));
        auto matchAt = [&](int32_t p) { return isMatch[static_cast<size_t>(p)]; };
        for (int32_t from = 0; from <= length; ++from) {
            int32_t down = from;
            while (down <= length && !matchAt(down))
                ++down;
            EXPECT_EQ(Find_SearchDown(text, pattern, from, options), down > length ? -1 : down);
            EXPECT_EQ(Find_SearchDown(pieced, pattern, from, options), down > length ? -1 : down);
            int32_t up = from;
            while (up >= 0 && !matchAt(up))
                --up;
            EXPECT_EQ(Find_SearchUp(text, pattern, from, options), up);
            EXPECT_EQ(Find_SearchUp(pieced, pattern, from, options), up);
        }

        std::u16string expected = text;
        int32_t count = 0;
        int32_t start = 0;
        int32_t end = 0;
        for (int32_t p; (p = Find_NextMatch(expected, pattern, start, end, true, options)) >= 0;) {
            expected.replace(p, n, replacement);
            start = p;
            end = p + static_cast<int32_t>(replacement.size());
            ++count;
        }
        const ReplaceAllResult result = Find_ReplaceAll(text, pattern, replacement, options);
        EXPECT_EQ(result.count, count);
        EXPECT_EQ(Find_ReplaceAll(pieced, pattern, replacement, options).replacement,
                  result.replacement);
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
    const ReplaceAllResult result = Find_ReplaceAll(text, u"AB", u"xyz", kWord);
    EXPECT_EQ(result.count, 1'000'000);
    EXPECT_EQ(result.replacement.size(), text.size() + 1'000'000 - 3);
}

} // namespace
