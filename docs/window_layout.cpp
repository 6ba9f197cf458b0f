#include "docs/window_layout.h"

#include "docs/close_tooltip.h"
#include "docs/main_window.h"
#include "docs/status_bar.h"
#include "docs/window_geometry.h"
#include "editctl/editctl.h"
#include "winkit/module_function.h"
#include "winkit/win_handles.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

template <typename Fn> Fn User32Function(const char* name) {
    return ModuleFunction<Fn>(GetModuleHandleW(L"user32.dll"), name);
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

NONCLIENTMETRICSW NonClientMetrics(int dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    auto forDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics;
}

// Shows the status bar and lets it place itself; its height, or 0 when hidden.
int PlaceStatusBar(MainWindow& mw) {
    if (!mw.statusBar)
        return 0;
    if (!mw.settings.showStatusBar) {
        ShowWindow(mw.statusBar, SW_HIDE);
        return 0;
    }
    ShowWindow(mw.statusBar, SW_SHOW);
    SendMessageW(mw.statusBar, WM_SIZE, 0, 0);
    RECT bar = {};
    GetWindowRect(mw.statusBar, &bar);
    return bar.bottom - bar.top;
}

void SetStatusParts(MainWindow& mw, const LayoutGeometry& g) {
    if (!mw.statusBar || !mw.settings.showStatusBar)
        return;
    int edges[4];
    std::copy(g.statusEdges.begin(), g.statusEdges.end(), edges);
    SendMessageW(mw.statusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void PlaceTabStrip(MainWindow& mw, const LayoutGeometry& g) {
    if (mw.tabControl) {
        if (mw.settings.showTabs) {
            ShowWindow(mw.tabControl, SW_SHOW);
            MoveWindow(mw.tabControl, 0, 0, g.stripWidth, g.stripHeight, TRUE);
            SendMessageW(mw.tabControl, TCM_SETITEMSIZE, 0, MAKELPARAM(g.tabWidth, g.tabHeight));
        } else {
            ShowWindow(mw.tabControl, SW_HIDE);
        }
    }
    if (mw.closeButton) {
        if (mw.settings.showTabs) {
            const Box& b = g.closeButton;
            SetWindowPos(mw.closeButton, HWND_TOP, b.left, b.top, b.Width(), b.Height(),
                         SWP_SHOWWINDOW);
            TabStrip_UpdateTooltipRect(mw);
        } else {
            ShowWindow(mw.closeButton, SW_HIDE);
        }
    }
}

} // namespace

int MainWnd_GetDpi(HWND window) {
    if (auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow"))
        return static_cast<int>(getDpi(window));
    const WindowDc dc(window);
    const int dpi = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi ? dpi : 96;
}

void MainWnd_RebuildFonts(MainWindow& mw, int dpi) {
    const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
    GdiObject<HFONT> uiFont(CreateFontIndirectW(&metrics.lfMenuFont));
    LOGFONTW editor = mw.settings.editorLogFont;
    editor.lfHeight = FontHeightForPoints(mw.settings.fontSizePt, dpi);
    GdiObject<HFONT> editorFont(CreateFontIndirectW(&editor));

    // A font that could not be made leaves its predecessor in service. The
    // locals take the previous pair and delete it once every child has the
    // new one; a child that might still hold one keeps it alive.
    if (uiFont)
        std::swap(mw.uiFont, uiFont);
    if (editorFont)
        std::swap(mw.editorFont, editorFont);
    try {
        MainWnd_ApplyFonts(mw);
    } catch (...) {
        uiFont.release();
        editorFont.release();
        throw;
    }
}

void MainWnd_ApplyFonts(MainWindow& mw) {
    if (mw.editorFont) {
        for (const Document& document : mw.documents)
            EditCtl_SetFont(document.editWindow, mw.editorFont.get());
    }
    if (!mw.uiFont)
        return;
    const WPARAM font = reinterpret_cast<WPARAM>(mw.uiFont.get());
    for (HWND child : {mw.statusBar, mw.tabControl, mw.closeButton}) {
        if (child)
            SendMessageW(child, WM_SETFONT, font, TRUE);
    }
}

void MainWnd_Layout(MainWindow& mw, HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    LayoutInput input;
    input.clientWidth = client.right - client.left;
    input.clientHeight = client.bottom - client.top;
    input.showStatusBar = mw.settings.showStatusBar;
    input.showTabs = mw.settings.showTabs;
    input.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    input.statusBarHeight = PlaceStatusBar(mw);
    input.dpi = MainWnd_GetDpi(window);
    const LayoutGeometry g = ComputeLayout(input);

    SetStatusParts(mw, g);
    PlaceTabStrip(mw, g);
    if (mw.activeEdit)
        MoveWindow(mw.activeEdit, g.edit.left, g.edit.top, g.edit.Width(), g.edit.Height(), TRUE);
    if (mw.settings.showStatusBar)
        Status_UpdateAll(mw);
}

void MainWnd_StepFontSize(MainWindow& mw, HWND window, int delta) {
    const int32_t size = SteppedFontSize(mw.settings.fontSizePt, delta);
    if (size == mw.settings.fontSizePt)
        return;
    mw.settings.fontSizePt = size;
    MainWnd_RebuildFonts(mw, MainWnd_GetDpi(window));
    MainWnd_Layout(mw, window);
}

void MainWnd_PaintTopBand(HWND window) {
    const WindowDc dc(window, WindowDc::Whole);
    if (!dc.get())
        return;
    RECT frame = {};
    GetWindowRect(window, &frame);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int y = origin.y - frame.top;
    const RECT band = {0, y - 2, frame.right - frame.left, y + 2};
    FillRect(dc.get(), &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
