// Wheel and scroll-bar messages, the bars' state and the scroll offsets.
#include "tests/win/editctl_fixture.h"

#include "editctl/edit_record.h"

using Sent = std::vector<WORD>;

namespace {

std::u16string Lines(int count, const std::u16string& line = u"x") {
    std::u16string text;
    for (int i = 0; i < count; ++i)
        text += line + u"\r\n";
    return text;
}

UINT WheelLines() {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines == 0 || lines == WHEEL_PAGESCROLL ? 3 : lines;
}

void Wheel(HWND window, int delta) {
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
}

void Scroll(HWND window, UINT message, WORD request) {
    SendMessageW(window, message, MAKEWPARAM(request, 0), 0);
}

SCROLLINFO BarInfo(HWND window, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(window, bar, &info));
    return info;
}

} // namespace

TEST_F(EditCtlTest, WheelScrollsByTheSystemLinesTimesTheSpeed) {
    Reset(Lines(200));
    const EditState* s = EditCtl_State(edit);
    const int step = static_cast<int>(WheelLines()) * 2 * lineHeight; // speed 2.0
    Wheel(edit, -120);
    EXPECT_EQ(s->view.scrollY, step);
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), step);
    EXPECT_EQ(Caret(), 0); // the caret stays in its place
    EXPECT_EQ(Codes(), Sent{CEN_SCROLL});

    ClearReceived();
    Wheel(edit, -60); // less than a notch: nothing, not even remembered
    Wheel(edit, -60);
    EXPECT_EQ(s->view.scrollY, step);
    EXPECT_EQ(Codes(), Sent{});
    Wheel(edit, 240);
    EXPECT_EQ(s->view.scrollY, 0);

    EditCtl_SetScrollSpeed(edit, 0); // counts as 0.1: one row at least
    Wheel(edit, -120);
    EXPECT_EQ(s->view.scrollY, lineHeight);
    EditCtl_SetScrollSpeed(edit, 1.0);
    Wheel(edit, -360);
    EXPECT_EQ(s->view.scrollY, lineHeight + 3 * static_cast<int>(WheelLines()) * lineHeight);
    Wheel(edit, -120 * 250); // far past the end: clamped to the last page
    EXPECT_EQ(s->view.scrollY, kMargin + 201 * lineHeight - Client().bottom);
}

TEST_F(EditCtlTest, VerticalBarMessagesMoveTheViewWithoutNotifying) {
    Reset(Lines(200));
    const EditState* s = EditCtl_State(edit);
    const SCROLLINFO info = BarInfo(edit, SB_VERT);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, kMargin + 201 * lineHeight);
    EXPECT_EQ(static_cast<int>(info.nPage), Client().bottom);

    Scroll(edit, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(s->view.scrollY, 3 * lineHeight);
    Scroll(edit, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(s->view.scrollY, 3 * lineHeight + Client().bottom);
    Scroll(edit, WM_VSCROLL, SB_BOTTOM); // not acted on
    Scroll(edit, WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(s->view.scrollY, 3 * lineHeight + Client().bottom);
    Scroll(edit, WM_VSCROLL, SB_PAGEUP);
    Scroll(edit, WM_VSCROLL, SB_LINEUP);
    Scroll(edit, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(s->view.scrollY, 0);
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), 0);
    EXPECT_EQ(Codes(), Sent{});

    // Moving the caret scrolls it just into view.
    Key(VK_END, false, true);
    EXPECT_EQ(s->view.scrollY, kMargin + 201 * lineHeight - Client().bottom);
    // A shorter text keeps the offset, clamped to the new content.
    EditCtl_SetText(edit, Lines(50));
    EXPECT_EQ(s->view.scrollY, kMargin + 51 * lineHeight - Client().bottom);
    EditCtl_SetText(edit, u"short");
    EXPECT_EQ(s->view.scrollY, 0);
}

TEST_F(EditCtlTest, HorizontalBarFollowsWordWrap) {
    const std::u16string wide(300, u'w');
    EditCtl_SetWordWrap(edit, false);
    Reset(wide + u"\r\n" + wide);
    const EditState* s = EditCtl_State(edit);
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_HSCROLL);
    const SCROLLINFO info = BarInfo(edit, SB_HORZ);
    EXPECT_EQ(info.nMax, 300 * charWidth + 2 * kMargin);
    EXPECT_EQ(static_cast<int>(info.nPage), Client().right - Gutter(2));

    Scroll(edit, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(s->view.scrollX, 4 * charWidth);
    Scroll(edit, WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(s->view.scrollX, 4 * charWidth + Client().right - Gutter(2));
    Key(VK_HOME);
    EXPECT_EQ(s->view.scrollX, 0);
    Key(VK_END);
    EXPECT_EQ(s->view.scrollX,
              300 * charWidth + charWidth - (Client().right - 2 * kMargin - Gutter(2)));
    Key(VK_LEFT, false, true); // to the line's start again
    Key(VK_RIGHT);
    Scroll(edit, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(s->view.scrollX, 4 * charWidth);
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), s->view.scrollX);

    EditCtl_SetWordWrap(edit, true);
    EXPECT_EQ(s->view.scrollX, 0);
    EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_STYLE) & WS_HSCROLL);
    Scroll(edit, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(s->view.scrollX, 0);
    // Wrapped, the two lines take several rows each.
    EXPECT_GT(s->model.lines.totalRows(), 4);
}

TEST_F(EditCtlTest, ResizingRewrapsAndKeepsTheCaretLine) {
    Reset(std::u16string(200, u'w'));
    const EditState* s = EditCtl_State(edit);
    const int64_t rowsWide = s->model.lines.totalRows();
    MoveWindow(edit, 0, 0, 300, 400, TRUE);
    EXPECT_GT(s->model.lines.totalRows(), rowsWide);
    EXPECT_EQ(s->view.clientWidth, Client().right);
    EXPECT_EQ(s->model.lines.totalRows(),
              (200 + (Client().right - 2 * kMargin - Gutter(1)) / charWidth - 1) /
                  ((Client().right - 2 * kMargin - Gutter(1)) / charWidth));
}
