// Replace All kept as the matches' places: the same text, lines, selection
// and undo steps as replacing the whole changed span in one range.
#include "allocation_failure.h"
#include "edit_fixture.h"

#include "docs/search.h"
#include "editctl/editing.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Seen = std::tuple<std::u16string, std::vector<std::tuple<int32_t, int32_t, int32_t>>, int64_t,
                        int32_t, int32_t, int64_t, bool, EditNotify>;

Seen See(EditState& s) {
    std::vector<std::tuple<int32_t, int32_t, int32_t>> lines;
    for (int32_t i = 0; i < s.model.lines.size(); ++i)
        lines.emplace_back(s.model.lines[i].start, s.model.lines[i].length,
                           s.model.lines.firstRow(i));
    const EditNotify notify = TakeEffects(s).notify;
    return {s.model.text.substr(0), lines,          s.model.lines.totalRows(), s.model.anchor,
            s.model.caret,          s.view.scrollY, s.history.modified,        notify};
}

TEST(EditReplaceMatches, AgreesWithOneRangeThroughUndoAndRedo) {
    const char16_t alphabet[] = {u'a', u'A', u'b', u' ', u'\r', u'\n', u'\t', 0xD83D, 0xDE00};
    std::mt19937 rng(11);
    auto random = [&](size_t maxLength) {
        std::u16string s(rng() % (maxLength + 1), u'a');
        for (char16_t& unit : s)
            unit = alphabet[rng() % std::size(alphabet)];
        return s;
    };
    for (int round = 0; round < 1500; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const std::u16string text = random(60);
        const std::u16string pattern = random(2) + u"a";
        const std::u16string replacement = random(4);
        const SearchOptions options{rng() % 2 == 0, false};
        const ReplaceAllResult whole = Find_ReplaceAll(text, pattern, replacement, options);
        ReplaceAllMatches found = Find_ReplaceAllMatches(text, pattern, replacement, options);
        if (whole.count == 0)
            continue;
        EditState range = MakeEdit(text, {120, 40, round % 2 == 0});
        EditState spread = range;
        ReplaceRange(range, whole.start, whole.end, whole.replacement);
        ReplaceMatches(spread, std::move(found.positions), static_cast<int32_t>(pattern.size()),
                       replacement);
        EXPECT_EQ(See(spread), See(range));
        for (auto step : {Undo, Redo, Undo}) {
            step(range);
            step(spread);
            EXPECT_EQ(See(spread), See(range));
        }
        EXPECT_EQ(spread.model.text, text);
        EXPECT_TRUE(spread.history.undoHistory.empty());
    }
}

TEST(EditReplaceMatches, LeavesOutPlacesThatOverlapOrRunPastTheText) {
    EditState s = MakeEdit(u"aXaXaXa");
    ReplaceMatches(s, {0, 1, 4, 6, 99, -3}, 2, u"[]");
    EXPECT_EQ(s.model.text, u"[]aX[]a");
    EXPECT_EQ(s.model.anchor, 0);
    EXPECT_EQ(s.model.caret, 6);
    ReplaceMatches(s, {7, 9}, 1, u"x");
    EXPECT_EQ(s.history.undoHistory.size(), 1u) << "nothing left: no edit";
}

TEST(EditReplaceMatches, RefusedWhenItWouldGrowTooLongAndAllOrNothing) {
    EditState s = MakeEdit(u"ab ab AB\r\nab");
    ReplaceMatches(s, {0, 3, 6, 10}, 2, u"xyz");
    ASSERT_EQ(s.model.text, u"xyz xyz xyz\r\nxyz");
    Undo(s);
    ASSERT_EQ(s.model.text, u"ab ab AB\r\nab") << "each match's own units come back";
    TakeEffects(s);
    const Seen undone = See(s);
    s.model.maxLength = 15;
    Redo(s);
    EXPECT_TRUE(s.effects.tooLong);
    EXPECT_EQ(See(s), undone);
    s.model.maxLength = 100;

    // Whichever allocation fails, the record stays as it was.
    for (auto step : {Redo, Undo}) {
        const Seen before = See(s);
        for (size_t nth = 1;; ++nth) {
            EditState copy = s;
            bool struck = true;
            try {
                AllocationFailure failure(nth);
                step(copy);
                struck = failure.struck();
            } catch (const std::bad_alloc&) {
                EXPECT_EQ(See(copy), before) << "allocation " << nth;
                continue;
            }
            if (!struck) {
                s = copy;
                break;
            }
        }
        EXPECT_NE(See(s), before);
    }
    EXPECT_EQ(s.model.text, u"ab ab AB\r\nab");
}

} // namespace
