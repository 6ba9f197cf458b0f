#include "app/main_window_proc.h"

#include "app/main_commands.h"
#include "app/menu.h"
#include "app/settings.h"
#include "app/window_modes.h"
#include "docs/close_button_name.h"
#include "docs/closing.h"
#include "docs/disk_changes.h"
#include "docs/file_commands.h"
#include "docs/find.h"
#include "docs/format_menu.h"
#include "docs/interrupted_saves.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/recovery_offer.h"
#include "docs/status_bar.h"
#include "docs/tab_strip.h"
#include "docs/tabs.h"
#include "docs/window_geometry.h"
#include "docs/window_layout.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"
#include "winkit/high_contrast.h"
#include "winkit/window_proc_guard.h"

#include <commctrl.h>

#include <memory>

std::wstring startupPath;
UINT findReplaceMessage = 0;

namespace {

void CreateChildren(MainWindow& mw, HWND window) {
    TabStrip_Create(mw, window);
    TabStrip_NameCloseButton(mw.closeButton);
    HMENU bar = MainWnd_BuildMenu(&mw);
    SetMenu(window, bar);
    MainWnd_AddTab(mw, window);
    mw.statusBar = Status_Create(window);
}

// What an earlier run left unsaved is offered before anything is loaded,
// then the file named on the command line opens.
void OpenFirstDocuments(MainWindow& mw, HWND window) {
    // The earlier version of a file first: a journal of unsaved edits may
    // need the file as it was before the interrupted save.
    MainWnd_OfferInterruptedSaves(window);
    const bool recovered = MainWnd_OfferRecovery(mw, window);
    if (!startupPath.empty()) {
        if (!recovered || MainWnd_NewTab(mw, window))
            MainWnd_OpenStartupFile(mw, window, startupPath);
    } else if (!recovered) {
        MainWnd_ResetActiveDocument(mw, window);
    }
}

LRESULT OnCreate(HWND window, const CREATESTRUCTW& create) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    findReplaceMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    EditCtl_RegisterClass(create.hInstance);

    // The slot owns the record from here until WM_NCDESTROY takes it back.
    auto* mw = new MainWindow();
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(mw));
    Settings_SetDefaults(mw->settings);
    mw->whiteBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));
    Settings_SetDefaultFont(mw->settings);
    Settings_Load(mw->settings);
    CreateChildren(*mw, window);

    MainWnd_RebuildFonts(*mw, MainWnd_GetDpi(window));
    MainWnd_SetAllChecks(*mw, window);
    MainWnd_RefreshEncodingMenu(*mw);
    MainWnd_RefreshLineEndingMenu(*mw);
    MainWnd_SnapScrollSpeed(*mw);
    MainWnd_Layout(*mw, window);
    MainWnd_UpdateTitle(*mw, window);
    MainWnd_ApplyFonts(*mw);
    MainWnd_ApplyZOrder(*mw, window);
    OpenFirstDocuments(*mw, window);
    return 0;
}

// The record leaves the slot first, so that nothing reached from here finds
// it half taken down; its fonts and brush go with it.
void OnNcDestroy(HWND window) {
    const std::unique_ptr<MainWindow> mw(MainWnd_FromWindow(window));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (!mw)
        return;
    MainWnd_DiscardJournals(*mw);
    Settings_Save(mw->settings);
    // Usually gone already with its owner; destroying it again is harmless.
    if (mw->closeTooltip && IsWindow(mw->closeTooltip))
        DestroyWindow(mw->closeTooltip);
}

LRESULT OnNotify(MainWindow& mw, HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == mw.tabControl && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        const int index = static_cast<int>(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0));
        MainWnd_ActivateTab(mw, window, index);
        MainWnd_CheckActiveOnDisk(mw, window);
        return 0;
    }
    return DefWindowProcW(window, WM_NOTIFY, wParam, lParam);
}

LRESULT OnDpiChanged(MainWindow& mw, HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    MainWnd_RebuildFonts(mw, HIWORD(wParam));
    MainWnd_Layout(mw, window);
    return 0;
}

// The close button's background and glyph: white and black, or while high
// contrast is on the system's button colours.
LRESULT CloseButtonColors(const MainWindow& mw, HDC dc) {
    if (!HighContrast_On()) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(mw.whiteBrush.get());
    }
    SetBkColor(dc, HighContrast_Color(COLOR_BTNFACE));
    SetTextColor(dc, HighContrast_Color(COLOR_BTNTEXT));
    SetDCBrushColor(dc, HighContrast_Color(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

// The system's colours or high contrast changed: the common controls are
// told, as only top-level windows hear of it, and every part is drawn again.
void FollowSystemColors(const MainWindow& mw, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    HighContrast_Refresh();
    for (HWND control : {mw.statusBar, mw.tabControl})
        if (control)
            SendMessageW(control, message, wParam, lParam);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT client = {};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
}

// The messages that need the record; anything else goes to the default.
LRESULT HandleMessage(MainWindow& mw, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MainWnd_Layout(mw, window);
        return 0;
    case WM_SETFOCUS:
        if (mw.activeEdit)
            SetFocus(mw.activeEdit);
        return 0;
    case WM_CLOSE:
        // A modal box or dialog disables its owner; a close request sent from
        // outside meanwhile must not destroy the window under the command
        // that is waiting for the answer.
        if (!IsWindowEnabled(window))
            return 0;
        if (MainWnd_QueryCloseWindow(mw, window))
            DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        // Logging off or shutting down ends the program like the close box,
        // so every modified document is asked about first. A critical end
        // cannot be refused: asking would only delay it.
        if (lParam & ENDSESSION_CRITICAL)
            return TRUE;
        return MainWnd_QueryCloseWindow(mw, window) ? TRUE : FALSE;
    case WM_ENDSESSION:
        // The process ends without the window's destruction. The user was
        // asked about every document, unless the end was critical: then the
        // journals stay to be recovered.
        if (wParam) {
            Settings_Save(mw.settings);
            if (lParam & ENDSESSION_CRITICAL)
                MainWnd_FinishJournals(mw, window);
            else
                MainWnd_DiscardJournals(mw);
        }
        return 0;
    case WM_TIMER:
        if (wParam != IDT_JOURNAL_WRITE)
            break;
        MainWnd_WriteJournals(mw, window);
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_TAB || item->hwndItem != mw.tabControl)
            break;
        TabStrip_DrawItem(mw, *item);
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_TAB)
            break;
        item->itemHeight = MeasuredTabItemHeight(MainWnd_GetDpi(window));
        return TRUE;
    }
    case WM_NOTIFY:
        return OnNotify(mw, window, wParam, lParam);
    case WM_ACTIVATE:
        // Other programs may have written the files while the user was away.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            MainWnd_QueueDiskCheck(mw, window);
        break;
    case WM_ACTIVATEAPP:
        if (wParam)
            MainWnd_QueueDiskCheck(mw, window);
        break;
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (!mw.settings.showTabs)
            MainWnd_PaintTopBand(window);
        return result;
    }
    case WM_COMMAND:
        MainWnd_OnCommand(mw, window, wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) != mw.closeButton || !mw.whiteBrush)
            break;
        return CloseButtonColors(mw, reinterpret_cast<HDC>(wParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        FollowSystemColors(mw, window, message, wParam, lParam);
        break;
    case WM_DPICHANGED:
        return OnDpiChanged(mw, window, wParam, lParam);
    default:
        if (MainWnd_OnDiskCheckMessage(mw, window, message) ||
            MainWnd_OnLoadMessage(mw, window, message, wParam))
            return 0;
        if (findReplaceMessage != 0 && message == findReplaceMessage) {
            Find_HandleDialogMessage(mw, window, reinterpret_cast<const FINDREPLACEW*>(lParam));
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy(window);
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    }
    MainWindow* mw = MainWnd_FromWindow(window);
    if (!mw) {
        // Without the record, commands, sizing, focus and closing change nothing.
        if (message == WM_COMMAND || message == WM_SIZE || message == WM_SETFOCUS ||
            message == WM_CLOSE || message == WM_DPICHANGED)
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return HandleMessage(*mw, window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK MainWnd_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedWindowProc<Route>(window, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance, HICON largeIcon, HICON smallIcon) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWnd_Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    wc.hIcon = largeIcon ? largeIcon : LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = smallIcon ? smallIcon : wc.hIcon;
    return RegisterClassExW(&wc) != 0;
}
