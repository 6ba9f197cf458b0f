// Wide characters and tabs as painted and clicked, and where the system
// caret stands after a resize or Select All.
#include "tests/win/editctl_fixture.h"

#include "editctl/edit_record.h"

#include <algorithm>
#include <climits>

namespace {

constexpr COLORREF kBackground = 0xFFFFFF;
constexpr COLORREF kSelection = 0xD77800;
constexpr COLORREF kText = 0x000000;

// The inked columns of [left, right) x [top, bottom) in `colour`: first and last, or -1.
std::pair<int, int> InkSpan(const Snapshot& shot, RECT box, COLORREF colour) {
    int first = -1, last = -1;
    for (int x = box.left; x < box.right; ++x)
        if (shot.Any(x, box.top, x + 1, box.bottom, colour)) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

class EditCtlCharactersTest : public EditCtlTest {
  protected:
    // Makes the text area exactly `cells` cells wide (no vertical bar shown).
    void SetTextCells(int cells, int lines) {
        RECT window = {}, client = {};
        GetWindowRect(edit, &window);
        GetClientRect(edit, &client);
        const int frame = (window.right - window.left) - client.right;
        MoveWindow(edit, 0, 0, Gutter(lines) + 2 * kMargin + cells * charWidth + frame,
                   window.bottom - window.top, TRUE);
    }
};

} // namespace

TEST_F(EditCtlCharactersTest, AnIdeographInksOnlyItsTwoCells) {
    const GdiObject<HFONT> cjk(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                           NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN,
                                           L"WenQuanYi Micro Hei Mono"));
    ASSERT_TRUE(cjk);
    EditCtl_SetFont(edit, cjk.get());
    const EditState* s = EditCtl_State(edit);
    const int cell = s->view.charWidth;
    const int row = s->view.lineHeight;
    Reset(u" \u4e2d \u6587"); // ideographs in cells 1-2 and 4-5, blanks around them
    const int left = s->view.gutterWidth + kMargin; // cells of this font.get(), not the fixture's
    {
        const Snapshot shot(edit);
        // Each ideograph's ink lies inside its own two cells, about centred.
        for (const int column : {1, 4}) {
            const int from = left + column * cell;
            const auto [first, last] =
                InkSpan(shot, {from - cell, kMargin, from + 3 * cell, kMargin + row}, kText);
            if (first < 0)
                GTEST_SKIP() << "no font with CJK glyphs";
            EXPECT_GE(first, from) << column;
            EXPECT_LT(last, from + 2 * cell) << column;
            EXPECT_LE(std::abs((first + last + 1) / 2 - (from + cell)), 2) << column;
        }
    }
    EditCtl_SetSelection(edit, 1, 2);
    {
        const Snapshot shot(edit);
        EXPECT_EQ(shot.At(left + cell - 1, kMargin), kBackground);
        EXPECT_EQ(shot.At(left + cell, kMargin), kSelection);
        EXPECT_EQ(shot.At(left + 3 * cell - 1, kMargin + row - 1), kSelection);
        EXPECT_EQ(shot.At(left + 3 * cell, kMargin), kBackground);
    }
    EditCtl_SetFont(edit, font.get());
}

TEST_F(EditCtlCharactersTest, ARowAfterAStraddlingTabIsDrawnWhereClicksLand) {
    // 51 cells a row, tab stops every 4: the tab after 49 letters ends the row.
    SetTextCells(51, 1);
    Reset(std::u16string(49, u'a') + u"\t0123");
    ASSERT_EQ(EditCtl_State(edit)->model.lines.totalRows(), 2);
    const int left = Gutter(1) + kMargin;
    const int top = kMargin + lineHeight;
    const Snapshot shot(edit);
    const auto [first, last] = InkSpan(shot, {left, top, Client().right, top + lineHeight}, kText);
    EXPECT_GE(first, left);
    EXPECT_LT(first, left + charWidth);
    EXPECT_LT(last, left + 4 * charWidth);
    Click(Cell(1, 1));
    EXPECT_EQ(Caret(), 51);
    Click(Cell(50, 0));
    EXPECT_EQ(Caret(), 49);
}

TEST_F(EditCtlCharactersTest, TheCaretStaysInViewWhenTheScrollBarAppears) {
    const int cells = (Client().right - 2 * kMargin - Gutter(99)) / charWidth;
    const int rows = (Client().bottom - kMargin) / lineHeight;
    std::u16string text;
    for (int i = 0; i < rows - 2; ++i)
        text += std::u16string(static_cast<size_t>(cells), u'x') + u"\r\n";
    Reset(text);
    SetFocus(edit);
    ASSERT_EQ(EditCtl_State(edit)->model.lines.totalRows(), rows - 1);
    Key(VK_END, false, true);
    Type(u"\r\r");
    ASSERT_EQ(EditCtl_State(edit)->model.lines[0].rows, 2); // the bar took the width of a cell
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_GE(caret.y, 0);
    EXPECT_LE(caret.y + lineHeight, Client().bottom);
}

TEST_F(EditCtlCharactersTest, SelectAllPutsTheCaretAtTheEnd) {
    Reset(u"ab\r\ncde");
    SetFocus(edit);
    EditCtl_SelectAll(edit);
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, Gutter(2) + kMargin + 3 * charWidth);
    EXPECT_EQ(caret.y, kMargin + lineHeight);
}

// Each character's ink stays inside its own cells: a mark on its letter,
// drawn from another font where the control's lacks it, a letter under two
// thousand marks, an emoji ZWJ sequence, and a flag that no font here has,
// which shows one box (two strokes across its middle). A letter with a
// mark shows the letter's own ink and the mark's above it.
TEST_F(EditCtlCharactersTest, EachCharacterInksOnlyItsOwnCells) {
    struct Case {
        const wchar_t* face;
        std::u16string text; // the character under test in cell 1, blanks around it
        int cells;
        int strokes;         // ink runs across the middle of the row; 0: not counted
        std::u16string base; // the text with the mark's letter alone; empty: not compared
    };
    const Case cases[] = {
        {L"DejaVu Sans Mono", u" e\u0301 ", 1, 0, u" e "},
        {L"Liberation Mono", u" e\u0301 ", 1, 0, u" e "},
        {L"DejaVu Sans Mono", u" a" + std::u16string(2000, u'\u0301') + u" ", 1, 0, u" a "},
        {L"DejaVu Sans", u" \U0001F600\u200D\U0001F600 ", 2, 0, u""},
        {L"Liberation Mono", u" \U0001F1EF\U0001F1F5 ", 2, 2, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(&c - cases));
        const GdiObject<HFONT> face(CreateFontW(
            -16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, c.face));
        ASSERT_TRUE(face);
        wchar_t got[LF_FACESIZE] = {};
        {
            const WindowDc dc(edit);
            const SelectedObject selected(dc.get(), face.get());
            GetTextFaceW(dc.get(), LF_FACESIZE, got);
        }
        ASSERT_STREQ(got, c.face) << "tools/setup.sh installs the fonts";
        EditCtl_SetFont(edit, face.get());
        const EditState* s = EditCtl_State(edit);
        const int cell = s->view.charWidth;
        const int row = s->view.lineHeight;
        const int left = s->view.gutterWidth + kMargin;
        const RECT line = {left, kMargin, Client().right, kMargin + row};
        // The row's inked pixels, by row and then column.
        auto inkOf = [&](const std::u16string& text) {
            Reset(text);
            const Snapshot shot(edit);
            std::vector<bool> ink;
            for (int y = line.top; y < line.bottom; ++y)
                for (int x = line.left; x < line.right; ++x)
                    ink.push_back(shot.At(x, y) == kText);
            return ink;
        };
        const std::vector<bool> ink = inkOf(c.text);
        const auto width = static_cast<size_t>(line.right - line.left);
        int first = INT_MAX, last = -1, strokes = 0;
        for (size_t p = 0; p < ink.size(); ++p) {
            if (!ink[p])
                continue;
            const int x = static_cast<int>(p % width);
            first = std::min(first, x);
            last = std::max(last, x);
            strokes += p / width == static_cast<size_t>(row / 2) && (x == 0 || !ink[p - 1]);
        }
        EXPECT_GE(first, cell);
        EXPECT_LT(last, (1 + c.cells) * cell);
        if (c.strokes > 0) {
            EXPECT_EQ(strokes, c.strokes);
        }
        if (!c.base.empty()) {
            const std::vector<bool> base = inkOf(c.base);
            size_t lost = 0, added = 0;
            for (size_t p = 0; p < ink.size(); ++p) {
                lost += base[p] && !ink[p];
                added += ink[p] && !base[p];
            }
            EXPECT_EQ(lost, 0u) << "the letter is drawn as itself";
            EXPECT_GT(added, 0u) << "the mark is drawn";
        }
        EditCtl_SetFont(edit, font.get());
    }
}
