#include "docs/tab_strip.h"

#include "docs/close_tooltip.h"
#include "docs/closing.h"
#include "docs/main_window.h"
#include "docs/tab_geometry.h"
#include "fileio/wide.h"
#include "winkit/high_contrast.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"
#include "winkit/window_proc_guard.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

struct TabColors {
    COLORREF fill;
    COLORREF text;
    COLORREF outline;
};

constexpr TabColors kSelectedTab = {RGB(220, 220, 220), RGB(0, 0, 0), RGB(120, 120, 120)};
constexpr TabColors kOtherTab = {RGB(245, 245, 245), RGB(80, 80, 80), RGB(200, 200, 200)};

// While high contrast is on, the system's colours: the selected tab as a
// window, the others as buttons, caption, close glyph and outline as text.
TabColors ColorsOf(bool selected) {
    if (!HighContrast_On())
        return selected ? kSelectedTab : kOtherTab;
    const COLORREF text = HighContrast_Color(selected ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    return {HighContrast_Color(selected ? COLOR_WINDOW : COLOR_BTNFACE), text, text};
}

Box ToBox(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const Box& b) {
    return {b.left, b.top, b.right, b.bottom};
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawOutline(HDC dc, const RECT& r, bool selected, COLORREF color) {
    const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const SelectedObject inUse(dc, pen.get());
    if (selected) {
        DrawLine(dc, r.left, r.top, r.right, r.top);
        DrawLine(dc, r.left, r.top, r.left, r.bottom - 1);
        DrawLine(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1);
    }
    DrawLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
}

// A click on an item's close glyph: closes that tab and swallows the click.
bool CloseTabAtGlyph(MainWindow& mw, HWND tabs, LPARAM position) {
    TCHITTESTINFO hit = {};
    hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const int index =
        static_cast<int>(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index < 0 || index >= static_cast<int>(mw.documents.size()))
        return false;
    RECT item = {};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (!CloseGlyphRect(ToBox(item)).Contains(hit.pt.x, hit.pt.y))
        return false;
    MainWnd_CloseTab(mw, GetParent(tabs), index);
    return true;
}

int ItemCount(HWND tabs) {
    return static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
}

// An item scrolled past has no rectangle under Wine and lies left of the
// client area under Windows.
bool ItemShown(HWND tabs, int index, RECT& item) {
    item = {};
    return SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) &&
           item.left >= 0 && item.right > item.left;
}

int FirstVisibleItem(HWND tabs, int count) {
    RECT item = {};
    for (int index = 0; index < count; ++index) {
        if (ItemShown(tabs, index, item))
            return index;
    }
    return 0;
}

// The first visible item that leaves no room unused at the right end, with
// the selected item still in view.
int FirstItemToShow(HWND tabs, HWND arrows, int count, int first) {
    RECT item = {};
    if (!ItemShown(tabs, first, item))
        return first;
    const int itemWidth = item.right - item.left;
    RECT client = {};
    GetClientRect(tabs, &client);
    if (count * itemWidth <= client.right)
        return 0;
    RECT arrowsRect = {};
    if (arrows)
        GetWindowRect(arrows, &arrowsRect);
    const int room = client.right - (arrowsRect.right - arrowsRect.left);
    const int shown = std::max(1, room / itemWidth);
    int target = std::clamp(first, 0, std::max(0, count - shown));
    const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    if (selected >= 0 && selected < target)
        target = selected;
    else if (selected >= target + shown)
        target = selected - shown + 1;
    return target;
}

// The tab control keeps its first visible item when items go or the strip
// grows, which can leave a single tab in view and the others scrolled past.
// It scrolls one item per request under Wine, to the position at once on
// Windows; every request must bring it closer.
void FillRoom(HWND tabs) {
    const int count = ItemCount(tabs);
    if (count <= 0)
        return;
    HWND arrows = FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr);
    int first = FirstVisibleItem(tabs, count);
    const int target = FirstItemToShow(tabs, arrows, count, first);
    for (int step = 0; step < count && first != target; ++step) {
        SendMessageW(tabs, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, target),
                     reinterpret_cast<LPARAM>(arrows));
        const int now = FirstVisibleItem(tabs, count);
        if (now == first)
            break;
        first = now;
    }
}

bool MayLeaveRoomUnused(UINT message) {
    return message == TCM_DELETEITEM || message == TCM_SETCURSEL || message == TCM_SETITEMSIZE ||
           message == WM_SIZE;
}

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, Subclass, kSubclassId);
    return TabStrip_Proc(window, message, wParam, lParam);
}

} // namespace

void TabStrip_Create(MainWindow& mw, HWND mainWindow) {
    const auto instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    mw.tabControl = CreateWindowExW(0, WC_TABCONTROLW, L"",
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED |
                                        TCS_FIXEDWIDTH,
                                    0, 0, 0, 0, mainWindow, nullptr, instance, nullptr);
    if (mw.tabControl)
        SetWindowSubclass(mw.tabControl, Subclass, kSubclassId, 0);
    mw.closeButton = CreateWindowExW(
        0, L"STATIC", L"X", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_CENTER, 0, 0, 0, 0, mainWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CLOSE_BUTTON)), instance, nullptr);
    if (mw.closeButton)
        TabStrip_CreateCloseTooltip(mw, mainWindow, instance);
}

namespace {

LRESULT HandleTabStripMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND parent = GetParent(window);
    MainWindow* mw = parent ? MainWnd_FromWindow(parent) : nullptr;
    if (!mw)
        return DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND && mw->whiteBrush) {
        RECT client = {};
        GetClientRect(window, &client);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (HighContrast_On()) {
            SetDCBrushColor(dc, HighContrast_Color(COLOR_BTNFACE));
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        } else {
            FillRect(dc, &client, mw->whiteBrush.get());
        }
        return 1;
    }
    if (message == WM_LBUTTONDOWN && CloseTabAtGlyph(*mw, window, lParam))
        return 0;
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (MayLeaveRoomUnused(message))
        FillRoom(window);
    return result;
}

} // namespace

LRESULT CALLBACK TabStrip_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedWindowProc<HandleTabStripMessage>(window, message, wParam, lParam);
}

void TabStrip_DrawItem(MainWindow& mw, const DRAWITEMSTRUCT& d) {
    if (!mw.tabControl || static_cast<int>(d.itemID) < 0 ||
        static_cast<int>(d.itemID) >= static_cast<int>(mw.documents.size()))
        return;
    HDC dc = d.hDC;
    const RECT r = d.rcItem;
    const bool selected =
        static_cast<int>(d.itemID) == SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0);
    const TabColors colors = ColorsOf(selected);

    const GdiObject<HBRUSH> fill(CreateSolidBrush(colors.fill));
    FillRect(dc, &r, fill.get());

    std::u16string caption = TabCaption(mw.documents[d.itemID]);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colors.text);
    const Box glyph = CloseGlyphRect(ToBox(r));
    RECT captionRect = ToRect(TabCaptionRect(ToBox(r), glyph));
    DrawTextW(dc, Wide(caption), -1, &captionRect,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);

    {
        const SelectedObject font(dc, mw.uiFont.get());
        RECT glyphRect = {glyph.left, glyph.top - 1, glyph.right, glyph.bottom + 1};
        DrawTextW(dc, L"X", 1, &glyphRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    DrawOutline(dc, r, selected, colors.outline);
}
