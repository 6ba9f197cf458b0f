#include "edit_fixture.h"

#include "editctl/text_geometry.h"
#include "editctl/automation_text.h"
#include "editctl/editing.h"
#include "editctl/paint_plan.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Ten cells per row with the default 8-pixel cells, 4-pixel margins and no gutter.
constexpr EditView kTenColumns = {88, 600, true, false};

// Every boundary met walking the whole text forward, then backward; a step
// that goes nowhere ends the walk.
std::vector<int32_t> WalkForward(const EditState& s, TextUnit unit) {
    std::vector<int32_t> stops;
    int32_t p = 0;
    while (MovePositionByUnit(s, p, unit, 1) == 1 && (stops.empty() || p > stops.back()))
        stops.push_back(p);
    return stops;
}

std::vector<int32_t> WalkBackward(const EditState& s, TextUnit unit) {
    std::vector<int32_t> stops;
    int32_t p = static_cast<int32_t>(s.model.text.size());
    while (MovePositionByUnit(s, p, unit, -1) == -1)
        stops.push_back(p);
    return stops;
}

TEST(AutomationText, CharactersAreCaretSteps) {
    // a, an emoji (a surrogate pair), e with a combining acute, CR LF, z.
    const EditState s = MakeEdit(u"a\U0001F600e\u0301\r\nz");
    EXPECT_EQ(WalkForward(s, TextUnit::Character), (std::vector<int32_t>{1, 3, 5, 7, 8}));
    EXPECT_EQ(WalkBackward(s, TextUnit::Character), (std::vector<int32_t>{7, 5, 3, 1, 0}));
    EXPECT_EQ(ExpandToUnit(s, {2, 2}, TextUnit::Character), (TextSpan{1, 3}));
    EXPECT_EQ(ExpandToUnit(s, {4, 4}, TextUnit::Character), (TextSpan{3, 5}));
}

TEST(AutomationText, WordsFollowTheControlsRuns) {
    const EditState s = MakeEdit(u"foo  bar.baz\r\n");
    EXPECT_EQ(WalkForward(s, TextUnit::Word), (std::vector<int32_t>{5, 8, 9, 14}));
    EXPECT_EQ(WalkBackward(s, TextUnit::Word), (std::vector<int32_t>{9, 8, 5, 0}));
    // A word unit carries the blanks after it.
    EXPECT_EQ(ExpandToUnit(s, {4, 4}, TextUnit::Word), (TextSpan{0, 5}));
    EXPECT_EQ(ExpandToUnit(s, {6, 11}, TextUnit::Format), (TextSpan{5, 8}));
}

TEST(AutomationText, LinesAreVisualRowsAndParagraphsLogicalLines) {
    const EditState s = MakeEdit(u"abcdefghij"
                                 u"klmnopqrst"
                                 u"uvwxy\r\nxy",
                                 kTenColumns);
    EXPECT_EQ(WalkForward(s, TextUnit::Line), (std::vector<int32_t>{10, 20, 27, 29}));
    EXPECT_EQ(WalkBackward(s, TextUnit::Line), (std::vector<int32_t>{27, 20, 10, 0}));
    EXPECT_EQ(ExpandToUnit(s, {12, 12}, TextUnit::Line), (TextSpan{10, 20}));
    // The end of a full row is where the next row starts, as the caret shows.
    EXPECT_EQ(ExpandToUnit(s, {10, 10}, TextUnit::Line), (TextSpan{10, 20}));
    EXPECT_EQ(ExpandToUnit(s, {12, 12}, TextUnit::Paragraph), (TextSpan{0, 27}));
    EXPECT_EQ(WalkForward(s, TextUnit::Paragraph), (std::vector<int32_t>{27, 29}));
}

// Automation reads a wrapped line in the rows painting draws, with the
// cells painting fills, however its characters take their cells.
TEST(AutomationText, RowsAreTheRowsThePaintDraws) {
    const std::u16string ideographs(12, u'\u4E00');
    const std::u16string texts[] = {
        ideographs,          // 5 + 5 + 2 wide characters
        u"abcdefgh\tX",      // a tab across the row's end
        u"abcdefghi\u4E00z", // a wide character moved to the next row
        u"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301x", // marks
        u"ab\t\u4E00\tcd\U0001F600e\u0301\tfgh\u4E00\u4E00\u4E00ijkl\tm",
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(testing::Message() << "text " << &text - texts);
        const EditState s = MakeEdit(text, kTenColumns);
        ASSERT_GT(s.model.lines[0].rows, 1);
        // Each row the paint draws, by its top: where it starts, and its cells.
        std::map<int32_t, PixelRect> painted;
        std::map<int32_t, int32_t> starts;
        for (const TextRun& run : PlanPaint(s).runs) {
            const int32_t right = run.x + run.cells * s.view.charWidth;
            auto [at, fresh] = painted.try_emplace(run.top, PixelRect{run.x, run.top, right, 0});
            at->second.left = std::min(at->second.left, run.x);
            at->second.right = std::max(at->second.right, right);
            starts.try_emplace(run.top, run.position);
        }
        std::vector<int32_t> rowEnds;
        for (auto it = std::next(starts.begin()); it != starts.end(); ++it)
            rowEnds.push_back(it->second);
        rowEnds.push_back(static_cast<int32_t>(text.size()));
        EXPECT_EQ(WalkForward(s, TextUnit::Line), rowEnds);
        const std::vector<PixelRect> rects =
            SpanRowRects(s, {0, static_cast<int32_t>(text.size())});
        ASSERT_EQ(rects.size(), painted.size());
        size_t i = 0;
        for (const auto& [top, cells] : painted) {
            EXPECT_EQ(rects[i].top, top);
            EXPECT_EQ(rects[i].left, cells.left);
            EXPECT_EQ(rects[i].right, cells.right);
            ++i;
        }
    }
}

// At the very end of the text no unit starts: a reader gets the last one.
TEST(AutomationText, ExpandingAtTheEndGivesTheLastUnit) {
    const EditState s = MakeEdit(u"one\r\ntwo \U0001F600", kTenColumns);
    const int32_t end = static_cast<int32_t>(s.model.text.size());
    EXPECT_EQ(ExpandToUnit(s, {end, end}, TextUnit::Character), (TextSpan{end - 2, end}));
    EXPECT_EQ(ExpandToUnit(s, {end, end}, TextUnit::Word), (TextSpan{9, end}));
    EXPECT_EQ(ExpandToUnit(s, {end, end}, TextUnit::Line), (TextSpan{5, end}));
    EXPECT_EQ(ExpandToUnit(s, {end, end}, TextUnit::Paragraph), (TextSpan{5, end}));
    EXPECT_EQ(ExpandToUnit(s, {end, end}, TextUnit::Document), (TextSpan{0, end}));
}

TEST(AutomationText, PagesAreScreensOfRowsLinedUpWithTheView) {
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"line\r\n";
    // Rows 6 to 15 meet the 160-pixel client area.
    EditState s = MakeEdit(text, {800, 160, false, true});
    s.view.scrollY = 6 * 16 + 4; // row 6 at the top
    EXPECT_EQ(ExpandToUnit(s, {6 * 6 + 2, 6 * 6 + 2}, TextUnit::Page), VisibleSpan(s));
    EXPECT_EQ(VisibleSpan(s), (TextSpan{6 * 6, 16 * 6}));
    EXPECT_EQ(WalkForward(s, TextUnit::Page), (std::vector<int32_t>{6 * 6, 16 * 6, 26 * 6, 180}));
}

// A span kept by the record goes on covering the same text.
TEST(AutomationText, KeptSpansFollowEdits) {
    struct Case {
        TextSpan span;
        int32_t start, end;
        std::u16string inserted;
        std::u16string expected;
        bool undone = true; // Undo gives the span back
    };
    const Case cases[] = {
        {{6, 11}, 0, 0, u"abc", u"world"},    // before
        {{6, 11}, 8, 8, u"XY", u"woXYrld"},   // inside
        {{6, 11}, 11, 11, u"!", u"world"},    // at its end
        {{6, 11}, 6, 6, u">", u"world"},      // at its start
        {{6, 11}, 0, 6, u"", u"world"},       // all before removed
        {{6, 11}, 4, 8, u"", u"rld", false},  // across its start
        {{6, 11}, 9, 11, u"LD!", u"worLD!"},  // its end replaced
        {{6, 11}, 6, 11, u"there", u"there"}, // replaced whole
        {{6, 6}, 6, 6, u"new ", u""},         // an empty span moves past
    };
    for (const Case& c : cases) {
        EditState s = MakeEdit(u"hello world");
        TextSpan span = c.span;
        s.model.liveSpans.keep(&span);
        ReplaceRange(s, c.start, c.end, c.inserted);
        EXPECT_EQ(s.model.text.substr(span.start, span.end - span.start), c.expected)
            << c.start << ".." << c.end;
        Undo(s);
        if (c.undone) {
            EXPECT_EQ(span, c.span) << c.start << ".." << c.end;
        }
    }
    // Replace All moves each end by the matches before it.
    EditState s = MakeEdit(u"o-o-o-o-o");
    TextSpan span{3, 7};
    s.model.liveSpans.keep(&span);
    ReplaceMatches(s, {0, 2, 4, 6, 8}, 1, u"OOO");
    EXPECT_EQ(s.model.text.substr(span.start, span.end - span.start), u"-OOO-OOO");
    Undo(s);
    EXPECT_EQ(span, (TextSpan{3, 7}));
    s.model.liveSpans.drop(&span);
    ReplaceRange(s, 0, 0, u"xyz");
    EXPECT_EQ(span, (TextSpan{3, 7}));
}

TEST(AutomationText, MovingASpan) {
    const EditState s = MakeEdit(u"one two three");
    TextSpan span{5, 6}; // inside "two"
    EXPECT_EQ(MoveSpanByUnit(s, span, TextUnit::Word, 1), 1);
    EXPECT_EQ(span, (TextSpan{8, 13}));
    // No unit starts at the end of the text: a non-empty span stays on the last one.
    EXPECT_EQ(MoveSpanByUnit(s, span, TextUnit::Word, 5), 0);
    EXPECT_EQ(span, (TextSpan{8, 13}));
    EXPECT_EQ(MoveSpanByUnit(s, span, TextUnit::Word, -5), -2);
    EXPECT_EQ(span, (TextSpan{0, 4}));
    // An empty span moves as a point and may reach the end.
    TextSpan point{5, 5};
    EXPECT_EQ(MoveSpanByUnit(s, point, TextUnit::Character, 100), 8);
    EXPECT_EQ(point, (TextSpan{13, 13}));
    // Spans outside the text are clamped into it.
    EXPECT_EQ(ClampSpan(s, {20, 3}), (TextSpan{13, 13}));
}

TEST(AutomationText, FindStaysInsideTheSpan) {
    const EditState s = MakeEdit(u"Abc abc ABC");
    EXPECT_EQ(FindInSpan(s, {0, 11}, u"abc", false, false), (TextSpan{4, 7}));
    EXPECT_EQ(FindInSpan(s, {0, 11}, u"abc", true, true), (TextSpan{8, 11}));
    EXPECT_EQ(FindInSpan(s, {1, 10}, u"abc", true, true), (TextSpan{4, 7}));
    EXPECT_EQ(FindInSpan(s, {0, 11}, u"", false, false).start, -1);
    EXPECT_EQ(FindInSpan(s, {5, 7}, u"abc", false, false).start, -1);

    // Half a surrogate pair or a letter without its mark is not a match.
    const EditState pairs = MakeEdit(u"\U0001F600e\u0301 \U0001F601e");
    for (const bool backward : {false, true}) {
        EXPECT_EQ(FindInSpan(pairs, {0, 8}, u"\xD83D", backward, false).start, -1);
        EXPECT_EQ(FindInSpan(pairs, {0, 8}, u"\xDE00", backward, false).start, -1);
        EXPECT_EQ(FindInSpan(pairs, {0, 8}, u"e", backward, false), (TextSpan{7, 8}));
    }
}

TEST(TextGeometry, RowRectanglesAreTheDrawnCells) {
    // Gutter 2 * 8 + 16 = 32, then the 4-pixel margin: text starts at x 36.
    EditState s = MakeEdit(u"abcdefghij"
                           u"klm\r\nxyz",
                           {8 * 10 + 8 + 32, 600, true, true});
    const std::vector<PixelRect> rects = SpanRowRects(s, {7, 16});
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].left, 36 + 7 * 8);
    EXPECT_EQ(rects[0].right, 36 + 10 * 8);
    EXPECT_EQ(rects[0].top, 4);
    EXPECT_EQ(rects[1].right, 36 + 3 * 8); // the break has no cells
    EXPECT_EQ(rects[1].bottom, 4 + 2 * 16);
    EXPECT_EQ(rects[2].left, 36);
    EXPECT_EQ(rects[2].right, 36 + 8);

    // An empty span covers no cells; rows scrolled away give nothing.
    EXPECT_EQ(SpanRowRects(s, {12, 12}).size(), 0u);
    s.view.scrollY = 4 + 2 * 16;
    EXPECT_EQ(SpanRowRects(s, {0, 13}).size(), 0u);
    // Rows partly shown are cut at the client's edges.
    s.view.scrollY = 4 + 10;
    s.view.clientHeight = 16;
    const std::vector<PixelRect> cut = SpanRowRects(s, {0, 18});
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].top, 0);
    EXPECT_EQ(cut[0].bottom, 6);
    EXPECT_EQ(cut[1].top, 6);
    EXPECT_EQ(cut[1].bottom, 16);
}

TEST(TextGeometry, ScrollingASpanIntoView) {
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"row\r\n";
    EditState s = MakeEdit(text, {800, 160, false, true});
    ScrollSpanIntoView(s, {50 * 5, 50 * 5 + 3}, true);
    EXPECT_EQ(VisibleSpan(s).start, 50 * 5);
    ScrollSpanIntoView(s, {10 * 5, 10 * 5 + 3}, false);
    const TextSpan visible = VisibleSpan(s);
    EXPECT_EQ(visible.end, 11 * 5);
    EXPECT_EQ(SpanRowRects(s, {10 * 5, 10 * 5 + 3})[0].bottom, 160);
}

} // namespace
