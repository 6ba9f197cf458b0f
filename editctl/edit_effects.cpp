#include "editctl/edit_effects.h"

#include "app/modal_ui.h"
#include "editctl/edit_automation.h"
#include "editctl/layout.h"

namespace {

constexpr int kCaretWidth = 2;

void SetBar(HWND window, int bar, const ScrollBarState& state) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = state.max;
    info.nPage = static_cast<UINT>(state.page);
    info.nPos = state.pos;
    SetScrollInfo(window, bar, &info, TRUE);
}

// Showing or hiding a bar resizes the client area, and the size handler then
// refreshes the whole view for the new size. Returns false when that
// happened: the rest of these effects were planned for the old size.
bool ApplyScrollBars(HWND window, EditState& s, const EditEffects& fx) {
    const int32_t width = s.clientWidth;
    const int32_t height = s.clientHeight;
    auto resized = [&] { return s.clientWidth != width || s.clientHeight != height; };
    SetBar(window, SB_VERT, fx.vertical);
    if (resized())
        return false;
    // The system shows the horizontal bar once there is something to scroll
    // and hides it again when the page covers the range.
    if (fx.horizontalShown)
        SetBar(window, SB_HORZ, fx.horizontal);
    else
        ShowScrollBar(window, SB_HORZ, FALSE);
    return !resized();
}

void NotifyParentWindow(HWND window, EditNotify code) {
    HWND parent = GetParent(window);
    if (!parent)
        return;
    const WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(window), static_cast<WORD>(code));
    SendMessageW(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(window));
}

} // namespace

void EditCtl_ApplyEffects(HWND window, EditState& s) {
    const EditEffects fx = TakeEffects(s);
    for (const PixelRect& cell : fx.gutterInvalidations) {
        const RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
        InvalidateRect(window, &rect, FALSE);
    }
    const bool current = !fx.scrollBars || ApplyScrollBars(window, s, fx);
    // Only the focused control owns the caret; another one must not move it.
    if (current && fx.caret && GetFocus() == window)
        SetCaretPos(fx.caretX, fx.caretY);
    if (fx.invalidate)
        InvalidateRect(window, nullptr, FALSE);
    if (fx.tooLong)
        ModalUi_MessageBox(GetAncestor(window, GA_ROOT),
                           L"The text would become too long. Nothing was changed.", L"Tessary",
                           MB_ICONWARNING);
    if (fx.notify != EditNotify::None) {
        // The record may be gone once the parent has handled its notification.
        EditCtl_RaiseNotifyEvents(window, s, fx.notify);
        NotifyParentWindow(window, fx.notify);
    }
}

void EditCtl_ShowCaret(HWND window, EditState& s) {
    if (!CreateCaret(window, nullptr, kCaretWidth, s.lineHeight))
        return;
    PlaceCaret(s);
    EditCtl_ApplyEffects(window, s);
    ShowCaret(window);
}

void EditCtl_HideCaret(HWND window) {
    HideCaret(window);
    DestroyCaret();
}
