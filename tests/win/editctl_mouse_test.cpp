// Button, move and double-click messages at computed cell coordinates.
#include "tests/win/editctl_fixture.h"

#include "editctl/edit_record.h"

using Sent = std::vector<WORD>;

TEST_F(EditCtlTest, QuickSeriesOfFivePressesAtOneSpot) {
    Reset(u"hello world_2 x\r\nnext");
    const POINT at = Cell(8, 0); // inside "world_2"
    // The system turns every second press of a quick pair into a double-click.
    Press(at);
    Release(at);
    EXPECT_EQ(Anchor(), 8);
    EXPECT_EQ(Caret(), 8);
    DoubleClick(at);
    Release(at);
    EXPECT_EQ(Anchor(), 6);
    EXPECT_EQ(Caret(), 13);
    Press(at);
    Release(at);
    EXPECT_EQ(Anchor(), 8);
    EXPECT_EQ(Caret(), 8);
    DoubleClick(at);
    Release(at);
    EXPECT_EQ(Anchor(), 6);
    EXPECT_EQ(Caret(), 13);
    Press(at);
    Release(at);
    EXPECT_EQ(Anchor(), 0); // the line without its break
    EXPECT_EQ(Caret(), 15);
    EXPECT_EQ(Codes(), Sent(5, CEN_SELCHANGE));

    // The count started over: the next press places the caret again.
    Press(at);
    Release(at);
    EXPECT_EQ(Anchor(), 8);
    EXPECT_EQ(Caret(), 8);
    // A press elsewhere starts a new count.
    Press(Cell(1, 1));
    Release(Cell(1, 1));
    Press(at);
    Release(at);
    EXPECT_EQ(Caret(), 8);
    EXPECT_EQ(Anchor(), 8);
}

TEST_F(EditCtlTest, PressesPlaceTheCaretOnTheGrid) {
    Reset(u"abcdef\r\nxy\r\n\tz");
    // Any point in a cell puts the caret before that cell's character.
    Click({Cell(3, 0).x + charWidth / 2 - 1, Cell(3, 0).y});
    EXPECT_EQ(Caret(), 3);
    Click({Cell(3, 0).x - charWidth / 2, Cell(3, 0).y});
    EXPECT_EQ(Caret(), 3);
    Click(Cell(20, 1)); // right of the line's end
    EXPECT_EQ(Caret(), 10);
    Click(Cell(2, 2)); // inside the tab's cells
    EXPECT_EQ(Caret(), 12);
    Click(Cell(4, 2));
    EXPECT_EQ(Caret(), 13);
    Click(Cell(1, 9)); // below the last line, still under the tab
    EXPECT_EQ(Caret(), 12);
    Click(Cell(9, 9));
    EXPECT_EQ(Caret(), 14);
    Click({2, Cell(0, 1).y}); // in the gutter
    EXPECT_EQ(Caret(), 8);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditCtlTest, ShiftClickAndDragExtendTheSelection) {
    Reset(u"first line\r\nsecond line");
    Click(Cell(2, 0));
    Click(Cell(3, 1), MK_SHIFT);
    EXPECT_EQ(Anchor(), 2);
    EXPECT_EQ(Caret(), 15);

    ClearReceived();
    Press(Cell(6, 1));
    EXPECT_EQ(GetCapture(), edit);
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Cell(1, 0).x, Cell(1, 0).y));
    EXPECT_EQ(Anchor(), 18);
    EXPECT_EQ(Caret(), 1);
    Release(Cell(1, 0));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Codes(), (Sent{CEN_SELCHANGE, CEN_SELCHANGE}));

    // After the release, moves change nothing; so do moves without the button.
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Cell(4, 0).x, Cell(4, 0).y));
    DoubleClick(Cell(0, 1)); // "second", no capture taken
    SendMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(Cell(4, 0).x, Cell(4, 0).y));
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Cell(4, 0).x, Cell(4, 0).y));
    EXPECT_EQ(Anchor(), 12);
    EXPECT_EQ(Caret(), 18);

    // A drag after a double-click extends from the word's start.
    DoubleClick(Cell(8, 1)); // "line"
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Cell(2, 0).x, Cell(2, 0).y));
    EXPECT_EQ(Anchor(), 19);
    EXPECT_EQ(Caret(), 2);
}

TEST_F(EditCtlTest, DraggingBelowTheEdgeScrollsOneStepPerMove) {
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"line\r\n";
    Reset(text);
    const EditState* s = EditCtl_State(edit);
    ASSERT_NE(s, nullptr);
    Press(Cell(1, 0, 101));
    // A row below the edge: every move scrolls on, until the caret's row
    // (six units a line) stands whole at the bottom edge.
    const LPARAM below = MAKELPARAM(Cell(1, 0, 101).x, Client().bottom + lineHeight);
    const auto caretRowBottom = [&] {
        return kMargin + (Caret() / 6 + 1) * lineHeight - s->view.scrollY;
    };
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, below);
    const int64_t first = s->view.scrollY;
    EXPECT_GT(first, 0);
    EXPECT_LE(first, 2 * lineHeight + kMargin);
    EXPECT_EQ(caretRowBottom(), Client().bottom);
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, below);
    EXPECT_GT(s->view.scrollY, first);
    EXPECT_LE(s->view.scrollY, first + 2 * lineHeight);
    EXPECT_EQ(caretRowBottom(), Client().bottom);
    EXPECT_EQ(Anchor(), 1);
    EXPECT_GT(Caret(), 1);
    Release(Cell(1, 0));
}
