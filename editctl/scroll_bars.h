// Scroll-bar rules. The window layer reads the bar's tracking position and
// passes it in; the bars themselves stay there.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbTrack, Other };

// The horizontal bar is ignored while wrapping.
inline bool ScrollBarActive(const EditState& s, bool horizontal) {
    return !horizontal || !s.view.wordWrap;
}
// Scrolls as a bar's request asks: lines and pages by pixels, a dragged
// thumb to the offset its position stands for. Records the bars and sends
// nothing; false when the view stayed where it was.
bool ScrollByRequest(EditState& s, bool horizontal, ScrollRequest request, int32_t trackPosition);
