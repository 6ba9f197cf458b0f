#include "editctl/edit_effects.h"

#include "editctl/edit_automation.h"
#include "editctl/layout.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kCaretWidth = 2;

bool LookAlike(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.xyThumbTop == b.xyThumbTop &&
           a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

// Sets a bar's range, page and position. Drawing a bar takes milliseconds
// on some systems, and most edits change the range by a row or two, which
// moves the thumb by no pixel: the bar is set without drawing and drawn
// only when it now looks different. Showing or hiding a bar resizes the
// client area, and the size handler then refreshes the whole view for the
// new size. Returns false when that happened: the rest of the effects were
// planned for the old size.
bool SetBar(HWND window, const EditState& s, int bar, const ScrollBarState& state) {
    const int32_t width = s.view.clientWidth;
    const int32_t height = s.view.clientHeight;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = state.max;
    info.nPage = static_cast<UINT>(state.page);
    info.nPos = state.pos;
    const LONG id = bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
    SCROLLBARINFO before = {};
    before.cbSize = sizeof(before);
    const bool known = GetScrollBarInfo(window, id, &before) != FALSE;
    SetScrollInfo(window, bar, &info, FALSE);
    if (s.view.clientWidth != width || s.view.clientHeight != height)
        return false;
    SCROLLBARINFO after = {};
    after.cbSize = sizeof(after);
    if (!known || !GetScrollBarInfo(window, id, &after) || !LookAlike(before, after))
        SetScrollInfo(window, bar, &info, TRUE);
    return true;
}

bool ApplyScrollBars(HWND window, EditState& s, const EditEffects& fx) {
    if (!SetBar(window, s, SB_VERT, fx.vertical))
        return false;
    // The system shows the horizontal bar once there is something to scroll
    // and hides it again when the page covers the range.
    if (fx.horizontalShown)
        return SetBar(window, s, SB_HORZ, fx.horizontal);
    const int32_t width = s.view.clientWidth;
    const int32_t height = s.view.clientHeight;
    ShowScrollBar(window, SB_HORZ, FALSE);
    return s.view.clientWidth == width && s.view.clientHeight == height;
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
    if (fx.readOnly)
        MessageBeep(MB_OK);
    if (fx.tooLong)
        ModalUi_MessageBox(GetAncestor(window, GA_ROOT),
                           L"The text would become too long. Nothing was changed.", kProgramName,
                           MB_ICONWARNING);
    if (fx.notify != EditNotify::None) {
        // The record may be gone once the parent has handled its notification.
        EditCtl_RaiseNotifyEvents(window, s, fx.notify);
        NotifyParentWindow(window, fx.notify);
    }
}

void EditCtl_ShowCaret(HWND window, EditState& s) {
    if (!CreateCaret(window, nullptr, kCaretWidth, s.view.lineHeight))
        return;
    PlaceCaret(s);
    EditCtl_ApplyEffects(window, s);
    ShowCaret(window);
}

void EditCtl_HideCaret(HWND window) {
    HideCaret(window);
    DestroyCaret();
}
