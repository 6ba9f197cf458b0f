#include "edit_fixture.h"

#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/layout.h"

#include <gtest/gtest.h>

namespace {

// No gutter and 8-pixel cells: the text area of 648 pixels holds 80 cells.
constexpr EditView kWrap80{648, 600, true, false};

std::u16string Cells(int n) {
    return std::u16string(static_cast<size_t>(n), u'x');
}

TEST(EditLayout, WrapCountsRowsByCells) {
    EditState s = MakeEdit(Cells(0) + u"\n" + Cells(1) + u"\n" + Cells(80) + u"\n" + Cells(81) +
                               u"\n" + Cells(160) + u"\n" + u"abc\t" + Cells(76),
                           kWrap80);
    ASSERT_EQ(ColumnsPerRow(s), 80);
    const int32_t rows[] = {1, 1, 1, 2, 2, 1};
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(s.model.lines[i].rows, rows[i]) << "line " << i;
    EXPECT_EQ(s.model.lines.totalRows(), 8);
    EXPECT_EQ(s.model.lines.firstRow(4), 5);
    EXPECT_EQ(s.model.lines.firstRow(5), 7);

    // A window narrower than one cell still has one cell per row.
    SetClientSize(s, 10, 600);
    EXPECT_EQ(ColumnsPerRow(s), 1);
    EXPECT_EQ(s.model.lines[4].rows, 160);
}

TEST(EditLayout, UnwrappedWidthAndScrollRange) {
    EditState s = MakeEdit(Cells(100) + u"\r\nab", {400, 300, false, false});
    EXPECT_EQ(s.model.lines.maxLineWidth(), 800);
    EXPECT_EQ(s.model.lines.totalRows(), 2);
    SetWordWrap(s, false);
    const EditEffects fx = TakeEffects(s);
    ASSERT_TRUE(fx.scrollBars && fx.horizontalShown);
    EXPECT_EQ(fx.horizontal.max, 808);
    EXPECT_EQ(fx.horizontal.page, 400);
    EXPECT_EQ(fx.vertical.max, 32 + 4); // the rows and the top margin

    s.view.scrollX = 5000;
    s.view.scrollY = 5000;
    ClampScroll(s);
    EXPECT_EQ(s.view.scrollX, 808 - 400);
    EXPECT_EQ(s.view.scrollY, 0); // two rows fit
    SetWordWrap(s, true);
    EXPECT_EQ(s.view.scrollX, 0);
    EXPECT_FALSE(TakeEffects(s).horizontalShown);
}

TEST(EditLayout, TabsAdvanceToTheNextStop) {
    EditState s = MakeEdit(u"ab\tc\nabcd\te\n\t\tz\n\U0001F600\u4E2D\u00E9\tz");
    EXPECT_EQ(VisualColumn(s, 0, 3), 4);
    EXPECT_EQ(VisualColumn(s, 1, 5), 8);
    EXPECT_EQ(VisualColumn(s, 2, 2), 8);
    EXPECT_EQ(VisualColumn(s, 3, 5), 8);  // a surrogate pair takes two cells
    EXPECT_EQ(VisualColumn(s, 0, 99), 5); // offset clamped to the line
    EXPECT_EQ(VisualColumn(s, 7, 1), 0);
    // Every column a tab covers maps to the tab itself.
    for (int32_t column = 2; column < 4; ++column)
        EXPECT_EQ(OffsetAtColumn(s, 0, column), 2);
    EXPECT_EQ(OffsetAtColumn(s, 0, 4), 3);
    EXPECT_EQ(OffsetAtColumn(s, 0, 40), 4);
    EXPECT_EQ(OffsetAtColumn(s, 0, -3), 0);
    EXPECT_EQ(s.model.lines.maxLineWidth(), 9 * 8);

    s.view.tabWidth = 3;
    EXPECT_EQ(VisualColumn(s, 0, 3), 3);
    s.view.tabWidth = 0; // counts as 4
    EXPECT_EQ(VisualColumn(s, 1, 5), 8);
}

TEST(EditLayout, GutterGrowsWithTheLineCountAndNarrowsTheRows) {
    std::u16string text = Cells(80);
    for (int i = 0; i < 98; ++i)
        text += u"\r\n";
    // 99 lines: a 32-pixel gutter leaves exactly 80 cells.
    EditState s = MakeEdit(text, {8 + 32 + 640, 600, true, true});
    EXPECT_EQ(s.view.gutterWidth, 32);
    EXPECT_EQ(s.model.lines[0].rows, 1);

    s.model.caret = s.model.anchor = static_cast<int32_t>(s.model.text.size());
    TypeCharacter(s, 13); // the 100th line widens the gutter by a cell
    EXPECT_EQ(s.view.gutterWidth, 40);
    EXPECT_EQ(ColumnsPerRow(s), 79);
    EXPECT_EQ(s.model.lines[0].rows, 2);

    SetShowLineNumbers(s, false);
    EXPECT_EQ(s.view.gutterWidth, 0);
    EXPECT_EQ(s.model.lines[0].rows, 1);
    SetSelection(s, 0, 0);
    EXPECT_EQ(TakeEffects(s).caretX, s.view.margin);
}

TEST(EditLayout, HitTestPicksTheCellUnderThePoint) {
    EditState s = MakeEdit(u"abcdef\r\nxy", {400, 300, false, false});
    EXPECT_EQ(HitTest(s, 4 + 2 * 8 + 6, 4), 2); // right half of c: before c
    EXPECT_EQ(HitTest(s, 4 + 30 * 8, 4), 6);    // right of the end: the end
    EXPECT_EQ(HitTest(s, 4 + 1 * 8, 9000), 9);  // below the text: last line
    EXPECT_EQ(HitTest(s, -50, -50), 0);
    s.view.scrollX = 16;
    EXPECT_EQ(HitTest(s, 4, 4), 2);

    EditState g = MakeEdit(u"abcdef");
    EXPECT_EQ(HitTest(g, 10, 4), 0); // inside the gutter

    EditState w = MakeEdit(Cells(100) + u"\r\n" + u"a\tb", kWrap80);
    EXPECT_EQ(HitTest(w, 4 + 3 * 8, 4 + 16), 83); // second row of line 0
    EXPECT_EQ(HitTest(w, 4 + 60 * 8, 4 + 16), 100);
    EXPECT_EQ(HitTest(w, 4 + 2 * 8, 4 + 32), 103); // inside the tab
}

TEST(EditLayout, CaretCellAtRowEnds) {
    EditState s = MakeEdit(Cells(80) + u"\n" + Cells(100), kWrap80);
    auto caretAt = [&](int32_t position) {
        SetSelection(s, position, position);
        const EditEffects fx = TakeEffects(s);
        return std::pair(fx.caretX, fx.caretY);
    };
    // The end of a full last row keeps the caret on that row...
    EXPECT_EQ(caretAt(80), std::pair(4 + 640, 4));
    // ...inside a line the same column starts the next row.
    EXPECT_EQ(caretAt(81 + 80), std::pair(4, 4 + 32));
    EXPECT_EQ(caretAt(81 + 100), std::pair(4 + 20 * 8, 4 + 32));
}

TEST(EditLayout, EnsureCaretVisibleScrollsJustEnough) {
    std::u16string text;
    for (int i = 0; i < 50; ++i)
        text += Cells(80) + u"\r\n";
    EditState s = MakeEdit(text, {648, 100, true, false});
    // The caret's row comes fully into view below the top margin.
    SetSelection(s, 20 * 82, 20 * 82);
    EXPECT_EQ(s.view.scrollY, 4 + 20 * 16 + 16 - 100);
    SetSelection(s, 2 * 82, 2 * 82);
    EXPECT_EQ(s.view.scrollY, 2 * 16);
    // The end of a full row counts as that row, not the row below.
    s.view.scrollY = 30 * 16;
    SetSelection(s, 10 * 82 + 80, 10 * 82 + 80);
    EXPECT_EQ(s.view.scrollY, 10 * 16);

    EditState h = MakeEdit(Cells(300), {200, 100, false, true});
    SetSelection(h, 30, 30);
    EXPECT_EQ(h.view.scrollX, 30 * 8 + 8 - (200 - 8 - 32));
    SetSelection(h, 3, 3);
    EXPECT_EQ(h.view.scrollX, 24);
    SelectAll(h); // does not scroll
    EXPECT_EQ(h.view.scrollX, 24);
}

TEST(EditLayout, ScrolledToTheEndTheLastRowIsWhole) {
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"line\r\n";
    EditState s = MakeEdit(text, {400, 100, false, false});
    s.view.scrollY = 1 << 20;
    ClampScroll(s);
    const int64_t lastRowBottom = 4 + s.model.lines.firstRow(30) * 16 + 16 - s.view.scrollY;
    EXPECT_EQ(lastRowBottom, 100);
    SetSelection(s, 0, 0);
    SetSelection(s, static_cast<int32_t>(text.size()), static_cast<int32_t>(text.size()));
    EXPECT_EQ(4 + s.model.lines.firstRow(30) * 16 + 16 - s.view.scrollY, 100);
}

TEST(EditLayout, CurrentLineFollowsTheCaretInTheGutter) {
    EditState s = MakeEdit(u"a\nb\nc\nd");
    SetSelection(s, 6, 6);
    EditEffects fx = TakeEffects(s);
    EXPECT_EQ(s.view.currentLine, 3);
    ASSERT_EQ(fx.gutterInvalidations.size(), 2u);
    EXPECT_EQ(fx.gutterInvalidations[0].top, 4);
    EXPECT_EQ(fx.gutterInvalidations[1].top, 4 + 48);
    EXPECT_EQ(fx.gutterInvalidations[1].bottom, 4 + 64);
    EXPECT_EQ(fx.gutterInvalidations[1].right, s.view.gutterWidth);
    SetSelection(s, 7, 7); // same line: nothing to repaint in the gutter
    EXPECT_TRUE(TakeEffects(s).gutterInvalidations.empty());

    SetShowLineNumbers(s, false);
    SelectAll(s);
    DeleteAtCaret(s, false);
    SetShowLineNumbers(s, true); // the only line is the current one again
    EXPECT_EQ(s.view.currentLine, 0);
}

TEST(EditLayout, ViewOperationsNeedAWindow) {
    EditState s;
    SetText(s, u"abc\r\ndef");
    s.view.scrollY = 500;
    SetSelection(s, 8, 8);
    const EditEffects fx = TakeEffects(s);
    EXPECT_EQ(ColumnsPerRow(s), 1);
    EXPECT_EQ(s.view.scrollY, 500);
    EXPECT_FALSE(fx.scrollBars || fx.caret);
    EXPECT_EQ(fx.notify, EditNotify::SelChange);
}

} // namespace
