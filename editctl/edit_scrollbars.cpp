#include "editctl/edit_input.h"

#include "editctl/edit_effects.h"
#include "editctl/scroll_bars.h"

namespace {

ScrollRequest RequestOf(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        return ScrollRequest::LineUp;
    case SB_LINEDOWN:
        return ScrollRequest::LineDown;
    case SB_PAGEUP:
        return ScrollRequest::PageUp;
    case SB_PAGEDOWN:
        return ScrollRequest::PageDown;
    case SB_THUMBTRACK:
        return ScrollRequest::ThumbTrack;
    default:
        return ScrollRequest::Other;
    }
}

} // namespace

// The tracking position comes from the bar itself: the message's 16-bit
// thumb position would cut off long texts.
void EditCtl_OnScroll(HWND window, EditState& s, bool horizontal, WPARAM wParam) {
    if (!ScrollBarActive(s, horizontal))
        return;
    const int bar = horizontal ? SB_HORZ : SB_VERT;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, bar, &info))
        return;
    const int before = info.nPos;
    info.fMask = SIF_POS;
    info.nPos = ScrollRequestTarget(s, horizontal, RequestOf(wParam), before,
                                    static_cast<int32_t>(info.nPage), info.nTrackPos);
    SetScrollInfo(window, bar, &info, TRUE);
    const int after = GetScrollPos(window, bar);
    if (after == before)
        return;
    ScrollToBarPosition(s, horizontal, after);
    EditCtl_ApplyEffects(window, s);
}
