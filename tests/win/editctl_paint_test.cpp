// What the paint code draws, read back from a memory bitmap, and where the
// system caret stands.
#include "tests/win/editctl_fixture.h"

#include "editctl/edit_paint.h"
#include "editctl/edit_record.h"
#include "tests/win/high_contrast_seam.h"
#include "winkit/win_handles.h"

namespace {

constexpr COLORREF kBackground = 0xFFFFFF;
constexpr COLORREF kGutter = 0xF0F0F0;
constexpr COLORREF kGutterLine = 0xC8C8C8;
constexpr COLORREF kCurrentLine = 0xDCDCDC;
constexpr COLORREF kNumber = 0x808080;
constexpr COLORREF kCurrentNumber = 0x000000;
constexpr COLORREF kSelection = 0xD77800;
constexpr COLORREF kText = 0x000000;

std::u16string NumberedLines(int count) {
    std::u16string text;
    for (int i = 1; i <= count; ++i)
        text += u"line\r\n";
    return text;
}

} // namespace

TEST_F(EditCtlTest, GutterShowsTheCaretLineHighlighted) {
    Reset(NumberedLines(20));
    EditCtl_SetSelection(edit, 11 * 6, 11 * 6); // line 12
    const int gutter = Gutter(21);
    const Snapshot shot(edit);
    for (int line = 0; line < 20; ++line) {
        const int top = kMargin + line * lineHeight;
        const bool current = line == 11;
        // The cell's top row lies above the digits.
        EXPECT_EQ(shot.At(1, top), current ? kCurrentLine : kGutter) << line;
        EXPECT_EQ(shot.At(gutter - 1, top + 1), kGutterLine) << line;
        EXPECT_EQ(shot.At(gutter, top + 1), kBackground) << line;
        EXPECT_EQ(shot.Any(4, top, gutter - 8, top + lineHeight, kCurrentNumber), current);
        EXPECT_EQ(shot.Any(4, top, gutter - 8, top + lineHeight, kNumber), !current);
    }
    // Digits stay right of x 4 and left of the cell's inner edge.
    EXPECT_FALSE(shot.Any(0, 0, 4, Client().bottom, kNumber));
    EXPECT_FALSE(shot.Any(gutter - 8, 0, gutter - 1, Client().bottom, kNumber));
}

TEST_F(EditCtlTest, SelectionCoversExactlyTheSelectedCharacters) {
    Reset(u"abcd\r\nefgh\r\n\r\nij");
    EditCtl_SetSelection(edit, 2, 15); // "cd", a break, "efgh", two breaks, "i"
    const int left = Gutter(4) + kMargin;
    const Snapshot shot(edit);
    auto cellTop = [&](int column, int row) {
        return shot.At(left + column * charWidth, kMargin + row * lineHeight);
    };
    auto cellEnd = [&](int column, int row) {
        return shot.At(left + (column + 1) * charWidth - 1, kMargin + (row + 1) * lineHeight - 1);
    };
    EXPECT_EQ(cellEnd(1, 0), kBackground);
    EXPECT_EQ(cellTop(2, 0), kSelection);
    EXPECT_EQ(cellEnd(3, 0), kSelection);
    EXPECT_EQ(cellTop(4, 0), kBackground); // not past the line's end
    EXPECT_EQ(cellTop(0, 1), kSelection);
    EXPECT_EQ(cellEnd(3, 1), kSelection);
    EXPECT_EQ(cellTop(4, 1), kBackground);
    EXPECT_EQ(cellTop(0, 2), kBackground); // an empty selected line shows nothing
    EXPECT_EQ(cellTop(0, 3), kSelection);
    EXPECT_EQ(cellTop(1, 3), kBackground);
    // Selected glyphs are white on the selection, the others black.
    const int row0 = kMargin;
    EXPECT_TRUE(
        shot.Any(left + 2 * charWidth, row0, left + 4 * charWidth, row0 + lineHeight, 0xFFFFFF));
    EXPECT_TRUE(shot.Any(left, row0, left + 2 * charWidth, row0 + lineHeight, kText));
    EXPECT_FALSE(
        shot.Any(left + 2 * charWidth, row0, left + 4 * charWidth, row0 + lineHeight, kText));
}

TEST_F(EditCtlTest, TabsExpandAndTheCaretFollows) {
    Reset(u"\tx\r\nab\tc");
    EditCtl_SetSelection(edit, 0, 2);
    const int left = Gutter(2) + kMargin;
    {
        const Snapshot shot(edit);
        EXPECT_EQ(shot.At(left, kMargin), kSelection);
        EXPECT_EQ(shot.At(left + 5 * charWidth - 1, kMargin), kSelection);
        EXPECT_EQ(shot.At(left + 5 * charWidth, kMargin), kBackground);
        // The x stands in the fifth cell.
        EXPECT_FALSE(shot.Any(left, kMargin, left + 4 * charWidth, kMargin + lineHeight, 0xFFFFFF));
        EXPECT_TRUE(shot.Any(left + 4 * charWidth, kMargin, left + 5 * charWidth,
                             kMargin + lineHeight, 0xFFFFFF));
    }
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    EditCtl_SetSelection(edit, 1, 1); // after the tab
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, left + 4 * charWidth);
    EXPECT_EQ(caret.y, kMargin);
    EditCtl_SetSelection(edit, 7, 7); // ab, tab: the c at column 4
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, left + 4 * charWidth);
    EXPECT_EQ(caret.y, kMargin + lineHeight);
}

TEST_F(EditCtlTest, WithoutLineNumbersTextStartsAtTheMargin) {
    EditCtl_SetShowLineNumbers(edit, false);
    Reset(u"MMMM");
    EditCtl_SelectAll(edit);
    const Snapshot shot(edit);
    EXPECT_EQ(shot.At(kMargin - 1, kMargin), kBackground);
    EXPECT_EQ(shot.At(kMargin, kMargin), kSelection);
    EXPECT_EQ(shot.At(kMargin + 4 * charWidth - 1, kMargin), kSelection);
    EXPECT_FALSE(shot.Any(0, 0, kMargin, Client().bottom, kGutter));
    EXPECT_FALSE(shot.Any(0, 0, kMargin, Client().bottom, kGutterLine));
}

TEST_F(EditCtlTest, TextScrolledLeftStaysOutOfTheGutter) {
    EditCtl_SetWordWrap(edit, false);
    Reset(std::u16string(200, u'W') + u"\r\nshort");
    EditCtl_SelectAll(edit);
    const int gutter = Gutter(2);
    for (int i = 0; i < 3; ++i)
        SendMessageW(edit, WM_HSCROLL, SB_LINERIGHT, 0); // 12 cells
    const EditState* s = EditCtl_State(edit);
    ASSERT_EQ(s->view.scrollX, 12 * charWidth);
    const Snapshot shot(edit);
    const int row0 = kMargin + 1;
    const int row1 = kMargin + lineHeight + 1;
    EXPECT_EQ(shot.At(gutter - 1, row0), kGutterLine);
    EXPECT_EQ(shot.At(gutter - 2, row0), kGutter);
    EXPECT_EQ(shot.At(gutter, row0), kSelection); // the long line continues under the edge
    // "short" ends 12 cells left of the text area: nothing of it is drawn.
    EXPECT_FALSE(shot.Any(0, row1, gutter - 1, row1 + lineHeight - 2, kSelection));
    EXPECT_FALSE(shot.Any(gutter, row1, Client().right, row1 + lineHeight - 2, kSelection));
    EXPECT_FALSE(shot.Any(0, 0, gutter - 1, Client().bottom, 0xFFFFFF));
}

TEST_F(EditCtlTest, WrappedRowsContinueAtTheLeftEdge) {
    const EditState* s = EditCtl_State(edit);
    const int perRow = (Client().right - 2 * kMargin - Gutter(2)) / charWidth;
    Reset(std::u16string(perRow + 3, u'a') + u"\r\nb");
    ASSERT_EQ(s->model.lines.totalRows(), 3);
    EditCtl_SetSelection(edit, perRow - 1, perRow + 2); // across the wrap
    const int left = Gutter(2) + kMargin;
    const Snapshot shot(edit);
    EXPECT_EQ(shot.At(left + (perRow - 1) * charWidth, kMargin), kSelection);
    EXPECT_EQ(shot.At(left, kMargin + lineHeight), kSelection);
    EXPECT_EQ(shot.At(left + 2 * charWidth - 1, kMargin + lineHeight), kSelection);
    EXPECT_EQ(shot.At(left + 2 * charWidth, kMargin + lineHeight), kBackground);
    // Only the first row of a line has a number.
    EXPECT_FALSE(
        shot.Any(4, kMargin + lineHeight, Gutter(2) - 8, kMargin + 2 * lineHeight, kCurrentNumber));
    EXPECT_TRUE(
        shot.Any(4, kMargin + 2 * lineHeight, Gutter(2) - 8, kMargin + 3 * lineHeight, kNumber));
}

TEST_F(EditCtlTest, CaretExistsOnlyWhileFocused) {
    Reset(u"abc\r\ndef");
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, Gutter(2) + kMargin + charWidth);
    EXPECT_EQ(caret.y, kMargin + lineHeight);
    // Scrolling moves the caret with the text.
    EditCtl_SetWordWrap(edit, false);
    Reset(std::u16string(300, u'x'));
    Key(VK_END);
    const EditState* s = EditCtl_State(edit);
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, Gutter(1) + kMargin + 300 * charWidth - s->view.scrollX);

    SetFocus(parent);
    EXPECT_FALSE(GetCaretPos(&caret) && caret.x != 0);
}

TEST_F(EditCtlTest, PaintDrawsOnlyTheUpdateRectangleIntoAKeptBitmap) {
    Reset(NumberedLines(20));
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EditState& s = *EditCtl_State(edit);
    ASSERT_NE(s.attached.backBuffer.get(), nullptr);
    const HBITMAP kept = s.attached.backBuffer.get()->bitmap.get();
    // Colours changed behind the control's back show only where it paints again.
    s.view.gutterColor = 0x00FF00;
    s.view.backgroundColor = 0x0000FF;
    const int gutter = Gutter(21);
    const int top = kMargin + 3 * lineHeight;
    const RECT cell = {0, top, gutter, top + lineHeight};
    InvalidateRect(edit, &cell, FALSE);
    UpdateWindow(edit);
    EXPECT_EQ(s.attached.backBuffer.get()->bitmap.get(), kept);
    {
        const MemoryDc memory(CreateCompatibleDC(nullptr));
        const SelectedObject selected(memory.get(), kept);
        EXPECT_EQ(GetPixel(memory.get(), 1, top + 1), 0x00FF00u);
        EXPECT_EQ(GetPixel(memory.get(), 1, top + lineHeight + 1), kGutter);
        EXPECT_EQ(GetPixel(memory.get(), gutter + 2, top + 1), kBackground);
    }

    SetWindowPos(edit, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(edit);
    EXPECT_EQ(s.attached.backBuffer.get()->width, Client().right);
    EXPECT_EQ(s.attached.backBuffer.get()->height, Client().bottom);
}

// With high contrast on, every part takes the system's colour for its role,
// and a change of the setting shows on the next paint.
TEST_F(EditCtlTest, HighContrastPaintsWithTheSystemColours) {
    const HighContrastSeam seam(false);
    Reset(u"line\r\nline\r\n");
    EditCtl_SetSelection(edit, 0, 2); // "li" selected, line 1 current
    const int gutter = Gutter(3);
    const int left = gutter + kMargin;
    const RECT client = Client();
    EXPECT_EQ(Snapshot(edit).At(client.right - 2, lineHeight), kBackground);

    highContrastWanted = true;
    SendMessageW(edit, WM_SYSCOLORCHANGE, 0, 0);
    const Snapshot shot(edit);
    struct Cell {
        RECT box; // a point when one pixel wide and high
        int index;
        const char* what;
    };
    const int row2 = kMargin + lineHeight;
    const Cell cells[] = {
        {{client.right - 2, row2, 0, 0}, COLOR_WINDOW, "background"},
        {{1, row2, 0, 0}, COLOR_BTNFACE, "gutter"},
        {{gutter - 1, row2 + 1, 0, 0}, COLOR_BTNTEXT, "gutter's edge"},
        {{1, kMargin, 0, 0}, COLOR_HIGHLIGHT, "current line's number cell"},
        {{left, kMargin, 0, 0}, COLOR_HIGHLIGHT, "selection"},
        {{left, kMargin, left + 2 * charWidth, kMargin + lineHeight},
         COLOR_HIGHLIGHTTEXT,
         "selected text"},
        {{left + 2 * charWidth, kMargin, left + 4 * charWidth, kMargin + lineHeight},
         COLOR_WINDOWTEXT,
         "text"},
        {{4, row2, gutter - 8, row2 + lineHeight}, COLOR_GRAYTEXT, "line number"},
        {{4, kMargin, gutter - 8, kMargin + lineHeight}, COLOR_HIGHLIGHTTEXT, "current number"},
    };
    for (const Cell& c : cells) {
        const COLORREF want = FakeSystemColor(c.index);
        if (c.box.right == 0)
            EXPECT_EQ(shot.At(c.box.left, c.box.top), want) << c.what;
        else
            EXPECT_TRUE(shot.Any(c.box.left, c.box.top, c.box.right, c.box.bottom, want)) << c.what;
    }

    highContrastWanted = false;
    SendMessageW(edit, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(Snapshot(edit).At(left, kMargin), kSelection);
}
