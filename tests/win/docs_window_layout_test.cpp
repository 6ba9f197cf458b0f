// The children's places at 96 DPI, with the bars shown and hidden, and the
// fonts after a DPI change.
#include "tests/win/app_window_fixture.h"

#include "docs/window_geometry.h"
#include "docs/window_layout.h"
#include "winkit/command_ids.h"

#include <algorithm>

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

// The children go where the layout's arithmetic puts them for this window's
// client size, DPI, scroll bar and status bar, whichever bars are shown,
// and a newly activated tab goes there too.
TEST_F(LayoutTest, ChildrenGoWhereTheArithmeticPutsThem) {
    // Each window starts with the bars the one before left: shown, hidden, shown.
    for (const SIZE client : {SIZE{800, 600}, SIZE{800, 600}, SIZE{200, 10}}) {
        Create(client.cx, client.cy);
        MainWindow& mw = Record();
        answer_ = IDNO;
        for (int step = 0; step < 3; ++step) {
            SCOPED_TRACE(testing::Message() << client.cx << "x" << client.cy << " step " << step);
            if (step == 1)
                Command(IDM_FILE_NEW); // a second tab, placed when it becomes active
            if (step == 2) {
                Command(IDM_VIEW_TABS);
                Command(IDM_VIEW_STATUS_BAR);
            }
            LayoutInput input;
            input.clientWidth = client.cx;
            input.clientHeight = client.cy;
            input.dpi = MainWnd_GetDpi(window_);
            input.showTabs = mw.settings.showTabs;
            input.showStatusBar = mw.settings.showStatusBar;
            input.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
            const RECT status = Placed(mw.statusBar);
            input.statusBarHeight = status.bottom - status.top;
            const LayoutGeometry g = ComputeLayout(input);

            const RECT edit = Placed(mw.activeEdit);
            EXPECT_EQ((Box{edit.left, edit.top, edit.right, edit.bottom}), g.edit);
            EXPECT_EQ(Shown(mw.tabControl), input.showTabs);
            EXPECT_EQ(Shown(mw.closeButton), input.showTabs);
            EXPECT_EQ(Shown(mw.statusBar), input.showStatusBar);
            if (input.showStatusBar) {
                EXPECT_EQ(status.bottom, client.cy);
                int edges[4] = {};
                ASSERT_EQ(
                    SendMessageW(mw.statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
                EXPECT_TRUE(std::equal(edges, edges + 4, g.statusEdges.begin()));
            }
            if (!input.showTabs)
                continue;
            const RECT strip = Placed(mw.tabControl);
            EXPECT_EQ((Box{strip.left, strip.top, strip.right, strip.bottom}),
                      (Box{0, 0, g.stripWidth, g.stripHeight}));
            const RECT button = Placed(mw.closeButton);
            EXPECT_EQ((Box{button.left, button.top, button.right, button.bottom}), g.closeButton);
            RECT item = {};
            SendMessageW(mw.tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(mw.activeIndex),
                         reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(item.right - item.left, g.tabWidth);

            // The tooltip covers the whole button.
            TTTOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = mw.closeButton;
            tool.uId = 1;
            wchar_t text[64] = {};
            tool.lpszText = text;
            ASSERT_TRUE(SendMessageW(mw.closeTooltip, TTM_GETTOOLINFOW, 0,
                                     reinterpret_cast<LPARAM>(&tool)));
            EXPECT_EQ(tool.rect.right - tool.rect.left, g.closeButton.Width());
            EXPECT_EQ(tool.rect.bottom - tool.rect.top, g.closeButton.Height());
            EXPECT_STREQ(text, L"Close tab");
        }
        Destroy();
    }
}

TEST_F(LayoutTest, DpiChangeTakesTheSuggestedRectangleAndRebuildsFonts) {
    Create();
    MainWindow& mw = Record();
    EXPECT_EQ(FontHeight(mw.editorFont.get()), -15); // 11 points at 96 DPI
    HFONT oldEditor = mw.editorFont.get();

    RECT suggested = {50, 40, 1050, 840};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now = {};
    GetWindowRect(window_, &now);
    EXPECT_EQ(now.left, 50);
    EXPECT_EQ(now.top, 40);
    EXPECT_EQ(now.right - now.left, 1000);
    EXPECT_EQ(now.bottom - now.top, 800);
    EXPECT_NE(mw.editorFont.get(), oldEditor);
    EXPECT_EQ(FontHeight(mw.editorFont.get()), -22);
    // The old font is gone and nobody holds it.
    EXPECT_EQ(GetObjectType(oldEditor), 0u);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.statusBar, WM_GETFONT, 0, 0)),
              mw.uiFont.get());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.tabControl, WM_GETFONT, 0, 0)),
              mw.uiFont.get());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(mw.closeButton, WM_GETFONT, 0, 0)),
              mw.uiFont.get());
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
