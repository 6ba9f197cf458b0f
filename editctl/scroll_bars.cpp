#include "editctl/scroll_bars.h"

#include "editctl/layout.h"
#include "editctl/saturate.h"

int32_t ScrollRequestTarget(const EditState& s, bool horizontal, ScrollRequest request,
                            int32_t position, int32_t page, int32_t trackPosition) {
    const int64_t line =
        horizontal ? 4 * int64_t{s.view.charWidth} : 3 * int64_t{s.view.lineHeight};
    switch (request) {
    case ScrollRequest::LineUp:
        return Saturate32(position - line);
    case ScrollRequest::LineDown:
        return Saturate32(position + line);
    case ScrollRequest::PageUp:
        return Saturate32(int64_t{position} - page);
    case ScrollRequest::PageDown:
        return Saturate32(int64_t{position} + page);
    case ScrollRequest::ThumbTrack:
        return trackPosition;
    default:
        return position;
    }
}

void ScrollToBarPosition(EditState& s, bool horizontal, int32_t position) {
    if (horizontal)
        s.view.scrollX = position;
    else
        s.view.scrollY = position;
    ClampScroll(s);
    PlaceCaret(s);
    InvalidateClient(s);
}
