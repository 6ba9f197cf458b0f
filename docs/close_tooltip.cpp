#include "docs/close_tooltip.h"

#include "docs/main_window.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kCloseToolId = 1;

TTTOOLINFOW CloseTool(const MainWindow& mw) {
    // The pre-version-6 size: without a common-controls manifest the system
    // gives the older tooltip, which refuses the larger structure.
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = mw.closeButton;
    tool.uId = kCloseToolId;
    GetClientRect(mw.closeButton, &tool.rect);
    return tool;
}

} // namespace

void TabStrip_CreateCloseTooltip(MainWindow& mw, HWND mainWindow, HINSTANCE instance) {
    mw.closeTooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr, instance, nullptr);
    if (!mw.closeTooltip)
        return;
    SetWindowPos(mw.closeTooltip, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TTTOOLINFOW tool = CloseTool(mw);
    wchar_t text[] = L"Close tab";
    tool.lpszText = text;
    SendMessageW(mw.closeTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TabStrip_UpdateTooltipRect(MainWindow& mw) {
    if (!mw.closeTooltip || !mw.closeButton)
        return;
    TTTOOLINFOW tool = CloseTool(mw);
    SendMessageW(mw.closeTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}
