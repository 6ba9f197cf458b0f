// Scroll-bar rules. The window layer reads the bars and passes their
// positions in; the bars themselves stay there.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbTrack, Other };

// The horizontal bar is ignored while wrapping.
inline bool ScrollBarActive(const EditState& s, bool horizontal) {
    return !horizontal || !s.view.wordWrap;
}
// Where a scroll-bar request wants the bar, before the system limits it.
int32_t ScrollRequestTarget(const EditState& s, bool horizontal, ScrollRequest request,
                            int32_t position, int32_t page, int32_t trackPosition);
// Follows a bar the system moved to `position`; sends nothing.
void ScrollToBarPosition(EditState& s, bool horizontal, int32_t position);
