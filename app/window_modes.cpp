#include "app/window_modes.h"

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/settings_rules.h"
#include "editctl/editctl.h"

void MainWnd_ApplyZOrder(const MainWindow& mw, HWND window) {
    SetWindowPos(window, mw.alwaysOnTop || mw.fullscreen ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWnd_SnapScrollSpeed(MainWindow& mw) {
    if (!mw.scrollSpeedMenu)
        return;
    const int index = Settings_SnapScrollSpeed(mw.settings.scrollSpeed);
    mw.settings.scrollSpeed = kScrollSpeeds[index];
    CheckMenuRadioItem(mw.scrollSpeedMenu, IDM_SCROLL_0_25X, IDM_SCROLL_5X,
                       IDM_SCROLL_0_25X + index, MF_BYCOMMAND);
    if (!mw.documents.empty())
        EditCtl_SetScrollSpeed(mw.documents.front().editWindow, mw.settings.scrollSpeed);
}

// Fullscreen, the speed choice, the font dialog, New Window and About arrive
// with the window-modes work; until then these commands change nothing.

void MainWnd_ToggleFullscreen(MainWindow&, HWND) {}

void MainWnd_SetScrollSpeed(MainWindow&, double, int) {}

void MainWnd_ChooseEditorFont(MainWindow&, HWND) {}

void MainWnd_LaunchNewWindow() {}

void MainWnd_ShowAbout(HWND) {}
