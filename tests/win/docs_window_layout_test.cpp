// The children's places at 96 DPI, with the bars shown and hidden, and the
// fonts after a DPI change.
#include "tests/win/app_window_fixture.h"

#include "docs/window_geometry.h"
#include "docs/window_layout.h"
#include "winkit/command_ids.h"

namespace {

// A child's rectangle in its parent's client coordinates.
RECT Placed(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int FontHeight(HFONT font) {
    LOGFONTW info = {};
    GetObjectW(font, sizeof info, &info);
    return info.lfHeight;
}

} // namespace

using LayoutTest = MainWindowTest;

TEST_F(LayoutTest, At96DpiEveryChildHasItsPlace) {
    Create(800, 600);
    MainWindow& mw = Record();
    ASSERT_EQ(MainWnd_GetDpi(window_), 96);

    const RECT strip = Placed(mw.tabControl);
    EXPECT_EQ(strip.left, 0);
    EXPECT_EQ(strip.top, 0);
    EXPECT_EQ(strip.right, 800 - 4 - 18); // up to the close button
    EXPECT_EQ(strip.bottom, 24);

    const RECT button = Placed(mw.closeButton);
    EXPECT_EQ(button.left, 800 - 4 - 18);
    EXPECT_EQ(button.top, 3);
    EXPECT_EQ(button.right - button.left, 18);
    EXPECT_EQ(button.bottom - button.top, 18);

    // The tooltip covers the whole button.
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = mw.closeButton;
    tool.uId = 1;
    wchar_t text[64] = {};
    tool.lpszText = text;
    ASSERT_TRUE(
        SendMessageW(mw.closeTooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.rect.right - tool.rect.left, 18);
    EXPECT_EQ(tool.rect.bottom - tool.rect.top, 18);
    EXPECT_STREQ(text, L"Close tab");

    RECT item = {};
    SendMessageW(mw.tabControl, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.right - item.left, 120);

    const RECT status = Placed(mw.statusBar);
    EXPECT_EQ(status.bottom, 600);
    const int statusHeight = status.bottom - status.top;
    EXPECT_GT(statusHeight, 0);
    int edges[4] = {};
    ASSERT_EQ(SendMessageW(mw.statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
    const int first = 800 - GetSystemMetrics(SM_CXVSCROLL) - 240;
    EXPECT_EQ(edges[0], first);
    EXPECT_EQ(edges[1], first + 80);
    EXPECT_EQ(edges[2], first + 150);
    EXPECT_EQ(edges[3], first + 240);

    const RECT edit = Placed(mw.activeEdit);
    EXPECT_EQ(edit.left, 0);
    EXPECT_EQ(edit.top, 24);
    EXPECT_EQ(edit.right, 800);
    EXPECT_EQ(edit.bottom, 600 - statusHeight);

    // A newly activated tab is placed there too.
    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    const RECT second = Placed(mw.activeEdit);
    EXPECT_EQ(second.top, 24);
    EXPECT_EQ(second.bottom, 600 - statusHeight);

    // Without the strip the edit control starts at the top; without the
    // status bar it reaches the bottom.
    Command(IDM_VIEW_TABS);
    EXPECT_EQ(Placed(mw.activeEdit).top, 0);
    EXPECT_FALSE(Shown(mw.closeButton));
    Command(IDM_VIEW_STATUS_BAR);
    const RECT whole = Placed(mw.activeEdit);
    EXPECT_EQ(whole.top, 0);
    EXPECT_EQ(whole.bottom, 600);
    EXPECT_EQ(whole.right, 800);
}

TEST_F(LayoutTest, TinyClientAreasLeaveNoNegativeSizes) {
    Create(200, 10);
    MainWindow& mw = Record();
    const RECT edit = Placed(mw.activeEdit);
    EXPECT_EQ(edit.bottom - edit.top, 0);
    int edges[4] = {};
    SendMessageW(mw.statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 0);
    EXPECT_EQ(edges[1], 80);
    EXPECT_EQ(edges[2], 150);
    EXPECT_EQ(edges[3], 240);
}

TEST_F(LayoutTest, DpiChangeTakesTheSuggestedRectangleAndRebuildsFonts) {
    Create();
    MainWindow& mw = Record();
    EXPECT_EQ(FontHeight(mw.editorFont), -15); // 11 points at 96 DPI
    HFONT oldEditor = mw.editorFont;

    RECT suggested = {50, 40, 1050, 840};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now = {};
    GetWindowRect(window_, &now);
    EXPECT_EQ(now.left, 50);
    EXPECT_EQ(now.top, 40);
    EXPECT_EQ(now.right - now.left, 1000);
    EXPECT_EQ(now.bottom - now.top, 800);
    EXPECT_NE(mw.editorFont, oldEditor);
    EXPECT_EQ(FontHeight(mw.editorFont), -22);
    // The old font is gone and nobody holds it.
    EXPECT_EQ(GetObjectType(oldEditor), 0u);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.statusBar, WM_GETFONT, 0, 0)), mw.uiFont);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.tabControl, WM_GETFONT, 0, 0)), mw.uiFont);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.closeButton, WM_GETFONT, 0, 0)), mw.uiFont);
}

TEST_F(LayoutTest, MeasuringTabItemsAnswersThirtyPixelsAt96Dpi) {
    Create();
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_TAB;
    EXPECT_EQ(SendMessageW(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
    EXPECT_EQ(measure.itemHeight, 30u);
}

TEST(AppLayoutArithmetic, MulDivRoundMatchesTheSystem) {
    for (int value : {-301, -11, -1, 0, 1, 3, 11, 18, 24, 120, 0x7FFFFFF})
        for (int dpi : {72, 96, 120, 144, 168, 192, 0, -96})
            for (int base : {72, 96, 3, -7})
                EXPECT_EQ(MulDivRound(value, dpi, base), MulDiv(value, dpi, base))
                    << value << " " << dpi << " " << base;
}
