// Fullscreen and always on top: placement, styles, menu bar and z-order; the
// scroll speed items: every tab, the bullet, the registry, a restart.
#include "tests/win/app_window_fixture.h"

#include "app/settings_rules.h"
#include "app/window_modes.h"
#include "editctl/edit_record.h"
#include "winkit/command_ids.h"

#include <array>
#include <vector>

namespace {

using Corners = std::array<LONG, 4>;

Corners Of(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Corners WindowCorners(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return Of(r);
}

LONG Style(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

LONG ExStyle(HWND window) {
    return GetWindowLongW(window, GWL_EXSTYLE);
}

bool Topmost(HWND window) {
    return (ExStyle(window) & WS_EX_TOPMOST) != 0;
}

// The items of the Scroll speed group that carry the radio bullet.
std::vector<int> Bullets(HMENU menu) {
    std::vector<int> bulleted;
    for (int id = IDM_SCROLL_0_25X; id <= IDM_SCROLL_5X; ++id) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoW(menu, id, FALSE, &info);
        if ((info.fType & MFT_RADIOCHECK) && (info.fState & MFS_CHECKED))
            bulleted.push_back(id);
    }
    return bulleted;
}

} // namespace

class WindowModesTest : public MainWindowTest {
  protected:
    // A visible window at a known place, as a user would have it.
    void CreateShown() {
        Create();
        // Wine keeps a window that owns a topmost popup (the close button's
        // tooltip) out of the topmost band; Windows does not. Without the
        // tooltip the z-order can be checked on both.
        DestroyWindow(Record().closeTooltip);
        Record().closeTooltip = nullptr;
        SetWindowPos(window_, nullptr, 40, 30, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    std::vector<double> TabSpeeds() {
        std::vector<double> speeds;
        for (const Document& document : Record().documents)
            speeds.push_back(EditCtl_State(document.editWindow)->view.scrollSpeed);
        return speeds;
    }
};

TEST_F(WindowModesTest, FullscreenCoversTheMonitorAndReturnsExactly) {
    CreateShown();
    MainWindow& mw = Record();
    const Corners before = WindowCorners(window_);
    const LONG style = Style(window_);
    const LONG exStyle = ExStyle(window_);
    HMENU bar = GetMenu(window_);
    ASSERT_NE(bar, nullptr);
    ASSERT_FALSE(Topmost(window_));

    Command(IDM_VIEW_FULLSCREEN);
    EXPECT_TRUE(mw.fullscreen);
    EXPECT_TRUE(Checked(IDM_VIEW_FULLSCREEN)); // in the detached bar
    EXPECT_EQ(GetMenu(window_), nullptr);
    EXPECT_EQ(mw.mainMenu, bar);
    EXPECT_TRUE(Topmost(window_));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_EQ(WindowCorners(window_), Of(monitor.rcMonitor));
    // No caption to drag and no edge or corner to size it by.
    const RECT& m = monitor.rcMonitor;
    for (const POINT at : {POINT{m.left, m.top}, POINT{(m.left + m.right) / 2, m.top},
                           POINT{m.right - 1, m.bottom - 1}, POINT{m.left, (m.top + m.bottom) / 2}})
        EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCLIENT);
    // No frame and no bar: the client area is the monitor, and the resize
    // laid the children out again.
    RECT client = {};
    GetClientRect(window_, &client);
    const LONG width = monitor.rcMonitor.right - monitor.rcMonitor.left;
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, monitor.rcMonitor.bottom - monitor.rcMonitor.top);
    RECT edit = {};
    GetWindowRect(mw.activeEdit, &edit);
    EXPECT_EQ(edit.right - edit.left, width);
    EXPECT_TRUE(Shown(mw.tabControl));
    EXPECT_TRUE(Shown(mw.statusBar));

    Command(IDM_VIEW_FULLSCREEN);
    EXPECT_FALSE(mw.fullscreen);
    EXPECT_FALSE(Checked(IDM_VIEW_FULLSCREEN));
    EXPECT_EQ(GetMenu(window_), bar);
    EXPECT_EQ(WindowCorners(window_), before);
    EXPECT_EQ(Style(window_), style);
    EXPECT_EQ(ExStyle(window_), exStyle);
    EXPECT_FALSE(Topmost(window_));
    GetClientRect(window_, &client);
    GetWindowRect(mw.activeEdit, &edit);
    EXPECT_EQ(edit.right - edit.left, client.right);

    // Nothing of the mode is stored.
    Destroy();
    Create();
    EXPECT_FALSE(Record().fullscreen);
    EXPECT_FALSE(Checked(IDM_VIEW_FULLSCREEN));
    EXPECT_FALSE(Topmost(window_));
}

TEST_F(WindowModesTest, AlwaysOnTopSurvivesFullscreenAndClosingFullscreenFreesTheBar) {
    CreateShown();
    Command(IDM_VIEW_ALWAYS_ON_TOP);
    EXPECT_TRUE(Topmost(window_));
    const Corners before = WindowCorners(window_);
    const LONG exStyle = ExStyle(window_);

    Command(IDM_VIEW_FULLSCREEN);
    EXPECT_TRUE(Topmost(window_));
    Command(IDM_VIEW_FULLSCREEN);
    EXPECT_TRUE(Topmost(window_));
    EXPECT_EQ(ExStyle(window_), exStyle);
    EXPECT_EQ(WindowCorners(window_), before);
    EXPECT_TRUE(Checked(IDM_VIEW_ALWAYS_ON_TOP));

    Command(IDM_VIEW_ALWAYS_ON_TOP);
    EXPECT_FALSE(Topmost(window_));
    EXPECT_FALSE(Checked(IDM_VIEW_ALWAYS_ON_TOP));

    // Closed while fullscreen: the detached bar goes with the window.
    Command(IDM_VIEW_FULLSCREEN);
    HMENU bar = Record().mainMenu;
    ASSERT_TRUE(IsMenu(bar));
    Destroy();
    EXPECT_FALSE(IsMenu(bar));
}

TEST_F(WindowModesTest, ScrollSpeedReachesEveryTabAndSurvivesARestart) {
    Create();
    Command(IDM_FILE_NEW);
    Command(IDM_FILE_NEW);
    ASSERT_EQ(TabSpeeds().size(), 3u);

    Command(IDM_SCROLL_0_25X);
    EXPECT_DOUBLE_EQ(Record().settings.scrollSpeed, 0.25);
    EXPECT_EQ(TabSpeeds(), (std::vector<double>{0.25, 0.25, 0.25}));
    EXPECT_EQ(Bullets(Record().scrollSpeedMenu), std::vector<int>{IDM_SCROLL_0_25X});
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 25u);
    Command(IDM_FILE_NEW); // a later tab follows
    EXPECT_DOUBLE_EQ(EditCtl_State(Record().activeEdit)->view.scrollSpeed, 0.25);

    Destroy();
    Create();
    EXPECT_EQ(Bullets(Record().scrollSpeedMenu), std::vector<int>{IDM_SCROLL_0_25X});
    EXPECT_EQ(TabSpeeds(), std::vector<double>{0.25});

    Command(IDM_SCROLL_0_5X);
    Destroy();
    Create();
    EXPECT_EQ(Bullets(Record().scrollSpeedMenu), std::vector<int>{IDM_SCROLL_0_5X});
    EXPECT_EQ(TabSpeeds(), std::vector<double>{0.5});

    // Every item sets its own value and bullet.
    for (int i = 0; i < 7; ++i) {
        const int id = IDM_SCROLL_0_25X + i;
        Command(id);
        EXPECT_EQ(TabSpeeds(), std::vector<double>{kScrollSpeeds[i]}) << id;
        EXPECT_EQ(Bullets(Record().scrollSpeedMenu), std::vector<int>{id});
        EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), static_cast<DWORD>(kScrollSpeeds[i] * 100))
            << id;
    }
}

TEST_F(WindowModesTest, ScrollSpeedIsLimitedAndAStrayItemMovesNoBullet) {
    Create();
    MainWindow& mw = Record();
    MainWnd_SetScrollSpeed(mw, 0.0, IDM_SCROLL_1X);
    EXPECT_EQ(TabSpeeds(), std::vector<double>{0.1});
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 10u);
    MainWnd_SetScrollSpeed(mw, 9.0, IDM_HELP_ABOUT);
    EXPECT_EQ(TabSpeeds(), std::vector<double>{5.0});
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 500u);
    EXPECT_EQ(Bullets(mw.scrollSpeedMenu), std::vector<int>{IDM_SCROLL_1X});
}
