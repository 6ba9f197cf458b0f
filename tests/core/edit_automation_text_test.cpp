#include "edit_fixture.h"

#include "editctl/text_geometry.h"
#include "editctl/automation_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Ten cells per row with the default 8-pixel cells, 4-pixel margins and no gutter.
constexpr EditView kTenColumns = {88, 600, true, false};

// Every boundary met walking the whole text forward, then backward.
std::vector<int32_t> WalkForward(const EditState& s, TextUnit unit) {
    std::vector<int32_t> stops;
    int32_t p = 0;
    while (MovePositionByUnit(s, p, unit, 1) == 1)
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

    // A tab is drawn on the row where its cells end.
    const EditState tabs = MakeEdit(u"abcdefgh\tij", kTenColumns);
    EXPECT_EQ(WalkForward(tabs, TextUnit::Line), (std::vector<int32_t>{8, 11}));
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

    // An empty span marks its position; rows scrolled away give nothing.
    ASSERT_EQ(SpanRowRects(s, {12, 12}).size(), 1u);
    EXPECT_EQ(SpanRowRects(s, {12, 12})[0].left, SpanRowRects(s, {12, 12})[0].right);
    s.view.scrollY = 4 + 2 * 16;
    EXPECT_EQ(SpanRowRects(s, {0, 13}).size(), 0u);
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
