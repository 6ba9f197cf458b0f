// The main window's record. It lives in the window's user-data slot from
// WM_CREATE to WM_NCDESTROY; every operation fetches it with
// MainWnd_FromWindow and does nothing without it.
#pragma once

#include "docs/app_settings.h"
#include "docs/document.h"
#include "winkit/win_handles.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <vector>

struct MainWindow {
    HWND activeEdit = nullptr; // documents[activeIndex].editWindow
    HWND statusBar = nullptr;
    HWND tabControl = nullptr;
    HWND closeButton = nullptr;
    HWND closeTooltip = nullptr; // a popup: destroyed by the record, not with the children
    GdiObject<HFONT> editorFont; // lent to every edit control
    GdiObject<HFONT> uiFont;     // tab strip, status bar and close button
    // One per tab, in tab order: tab item i shows documents[i].
    std::vector<Document> documents;
    // -1 only while the last tab is being replaced.
    int32_t activeIndex = 0;
    AppSettings settings;
    HMENU encodingMenu = nullptr;
    HMENU lineEndingMenu = nullptr;
    HMENU mainMenu = nullptr;
    // The bar while fullscreen hides it: a menu no window holds is not
    // destroyed with the window, so the record owns it until it goes back.
    MenuHandle detachedMenu;
    HMENU scrollSpeedMenu = nullptr;
    bool alwaysOnTop = false; // window modes: never stored
    bool fullscreen = false;
    RECT savedWindowRect = {};
    uint32_t savedStyle = 0;
    uint32_t savedExStyle = 0;
    HWND findDialog = nullptr; // the open Find or Replace dialog
    FINDREPLACEW findReplace = {};
    wchar_t findWhat[256] = {};
    wchar_t replaceWith[256] = {};
    bool searchDown = true;
    bool matchCase = false;
    bool wholeWord = false;
    GdiObject<HBRUSH> whiteBrush;
    // A question about a file changed on disk is open: an activation
    // meanwhile must not ask a second one over it.
    bool askingAboutDisk = false;
    bool diskCheckPosted = false;
    bool journalWriteDue = false; // the timer that writes the recovery journals runs
    bool journalFailureTold = false;
};

// The record of a main window; null before WM_CREATE and after WM_NCDESTROY.
inline MainWindow* MainWnd_FromWindow(HWND window) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The active document, or null when activeIndex is not a valid index.
inline Document* MainWnd_ActiveDocument(MainWindow& mw) {
    if (mw.activeIndex < 0 || mw.activeIndex >= static_cast<int>(mw.documents.size()))
        return nullptr;
    return &mw.documents[mw.activeIndex];
}
