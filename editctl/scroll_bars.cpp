#include "editctl/scroll_bars.h"

#include "editctl/layout.h"
#include "editctl/scroll_mapping.h"

bool ScrollByRequest(EditState& s, bool horizontal, ScrollRequest request, int32_t trackPosition) {
    int64_t& offset = horizontal ? s.view.scrollX : s.view.scrollY;
    const ScrollAxis axis = horizontal ? HorizontalAxis(s) : VerticalAxis(s);
    const int64_t line =
        horizontal ? 4 * int64_t{s.view.charWidth} : 3 * int64_t{s.view.lineHeight};
    const int64_t before = offset;
    switch (request) {
    case ScrollRequest::LineUp:
        offset -= line;
        break;
    case ScrollRequest::LineDown:
        offset += line;
        break;
    case ScrollRequest::PageUp:
        offset -= axis.page;
        break;
    case ScrollRequest::PageDown:
        offset += axis.page;
        break;
    case ScrollRequest::ThumbTrack:
        offset = ScrollOffsetAt(axis.extent, axis.page, trackPosition);
        break;
    case ScrollRequest::Other:
        return false;
    }
    ClampScroll(s);
    if (offset == before)
        return false;
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
    return true;
}
