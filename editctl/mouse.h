// Mouse button and wheel rules. The window layer reads the system's
// settings and the tick count and passes them in; capture and focus stay
// there.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>

// The system's limits for counting a press as a repeat of the previous one.
struct ClickLimits {
    uint32_t time = 500; // milliseconds
    int32_t width = 4;   // largest distance in pixels from the previous press
    int32_t height = 4;
};

// A left-button press at client (x, y), tick `now`: counts repeated presses,
// then places the caret (Shift extends the selection) or, on the third
// counted press, selects the logical line. Starts a mouse selection.
void MouseButtonDown(EditState& s, int32_t x, int32_t y, uint32_t now, const ClickLimits& limits,
                     bool shift);
// Selects the word under the point and starts a mouse selection; the click count is left alone.
void MouseDoubleClick(EditState& s, int32_t x, int32_t y);
// While selecting with the mouse, moves the caret under the point; the anchor stays.
void MouseMove(EditState& s, int32_t x, int32_t y);
void MouseButtonUp(EditState& s);

// Rows one notch scrolls: the wheel-lines setting (0 and the one-page value
// count as 3) times the scroll speed, rounded half away from zero, at least 1.
int32_t WheelStepRows(uint32_t wheelLines, double scrollSpeed);
// Scrolls by whole notches of the signed wheel delta; less than a notch does nothing.
void MouseWheel(EditState& s, int32_t delta, uint32_t wheelLines);
