// Fullscreen: the window loses its frame and menu bar and covers its whole
// monitor, topmost; leaving puts back exactly what was saved on entering.
#include "app/fullscreen.h"

#include "docs/main_window.h"

namespace {

constexpr DWORD kFrameStyles =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void SetStyles(HWND window, DWORD style, DWORD exStyle) {
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style));
    SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

void EnterFullscreen(MainWindow& mw, HWND window) {
    mw.savedStyle = static_cast<uint32_t>(GetWindowLongW(window, GWL_STYLE));
    mw.savedExStyle = static_cast<uint32_t>(GetWindowLongW(window, GWL_EXSTYLE));
    GetWindowRect(window, &mw.savedWindowRect);
    mw.fullscreen = true;
    if (GetMenu(window) == mw.mainMenu && SetMenu(window, nullptr))
        mw.detachedMenu.reset(mw.mainMenu);
    DrawMenuBar(window);
    SetStyles(window, mw.savedStyle & ~kFrameStyles, mw.savedExStyle | WS_EX_TOPMOST);

    // The monitor's full rectangle, not its work area: the task bar is covered.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& r = monitor.rcMonitor;
        SetWindowPos(window, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    } else {
        ShowWindow(window, SW_MAXIMIZE);
    }
}

void LeaveFullscreen(MainWindow& mw, HWND window) {
    mw.fullscreen = false;
    SetStyles(window, mw.savedStyle, mw.savedExStyle);
    const RECT& r = mw.savedWindowRect;
    SetWindowPos(window, mw.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, r.left, r.top,
                 r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    // Attaching the bar shrinks the client area, not the window rectangle.
    if (mw.detachedMenu) {
        SetMenu(window, mw.detachedMenu.release());
        DrawMenuBar(window);
    }
}

} // namespace

void MainWnd_ToggleFullscreen(MainWindow& mw, HWND window) {
    if (mw.fullscreen)
        LeaveFullscreen(mw, window);
    else
        EnterFullscreen(mw, window);
}
