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

void EditCtl_OnScroll(HWND window, EditState& s, bool horizontal, WPARAM wParam) {
    if (!ScrollBarActive(s, horizontal))
        return;
    const ScrollRequest request = RequestOf(wParam);
    // The tracking position comes from the bar itself: the message carries
    // only 16 bits of it.
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    if (request == ScrollRequest::ThumbTrack &&
        !GetScrollInfo(window, horizontal ? SB_HORZ : SB_VERT, &info))
        return;
    if (ScrollByRequest(s, horizontal, request, info.nTrackPos))
        EditCtl_ApplyEffects(window, s);
}
