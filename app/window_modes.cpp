#include "app/window_modes.h"

#include "app/settings.h"
#include "app/settings_rules.h"
#include "docs/main_window.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"
#include "winkit/modal_ui.h"

#include <algorithm>

void MainWnd_ApplyZOrder(const MainWindow& mw, HWND window) {
    SetWindowPos(window, mw.alwaysOnTop || mw.fullscreen ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- Scroll speed

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

void MainWnd_SetScrollSpeed(MainWindow& mw, double speed, int item) {
    if (!(speed > 0.0)) // NaN too
        speed = 0.1;
    mw.settings.scrollSpeed = std::min(speed, 5.0);
    for (const Document& document : mw.documents)
        EditCtl_SetScrollSpeed(document.editWindow, mw.settings.scrollSpeed);
    if (mw.scrollSpeedMenu && item >= IDM_SCROLL_0_25X && item <= IDM_SCROLL_5X)
        CheckMenuRadioItem(mw.scrollSpeedMenu, IDM_SCROLL_0_25X, IDM_SCROLL_5X, item, MF_BYCOMMAND);
    Settings_Save(mw.settings);
}

// ---- New Window

std::wstring MainWnd_ModulePath() {
    // The system truncates silently to the buffer; a truncated path could
    // name another program, so grow until the whole path fits.
    constexpr size_t kLongestPath = 32768;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath)
            return {};
        path.resize(path.size() * 2);
    }
}

void MainWnd_LaunchNewWindow() {
    const std::wstring path = MainWnd_ModulePath();
    if (path.empty())
        return;
    // Quoted, since the path may hold spaces; no document is passed on.
    ModalUi_StartProcess(L"\"" + path + L"\"");
}
