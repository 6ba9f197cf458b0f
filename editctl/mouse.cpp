#include "editctl/mouse.h"

#include "editctl/change_flow.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"
#include "editctl/words.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

void CountClick(InputState& input, int32_t x, int32_t y, uint32_t now, const ClickLimits& limits) {
    const bool repeated = now - input.lastClickTime <= limits.time &&
                          std::abs(int64_t{x} - input.lastClickX) <= limits.width &&
                          std::abs(int64_t{y} - input.lastClickY) <= limits.height;
    input.clickCount = repeated ? input.clickCount + 1 : 1;
    input.lastClickTime = now;
    input.lastClickX = x;
    input.lastClickY = y;
}

} // namespace

void MouseButtonDown(EditState& s, int32_t x, int32_t y, uint32_t now, const ClickLimits& limits,
                     bool shift) {
    CountClick(s.input, x, y, now, limits);
    const int32_t position = HitTest(s, x, y);
    if (s.input.clickCount >= 3 && !s.model.lines.empty()) {
        const LineInfo line = s.model.lines[LocateLine(s.model, position).line];
        s.model.anchor = line.start;
        s.model.caret = line.start + line.length;
        s.input.clickCount = 0;
    } else {
        s.model.caret = position;
        if (!shift)
            s.model.anchor = position;
    }
    s.input.mouseSelecting = true;
    FollowChange(s, SelectionMoved());
}

void MouseDoubleClick(EditState& s, int32_t x, int32_t y) {
    SelectWordAt(s.model, HitTest(s, x, y));
    s.input.mouseSelecting = true;
    FollowChange(s, SelectionMoved());
}

void MouseMove(EditState& s, int32_t x, int32_t y) {
    if (!s.input.mouseSelecting)
        return;
    s.model.caret = HitTest(s, x, y);
    FollowChange(s, SelectionMoved());
}

void MouseButtonUp(EditState& s) {
    s.input.mouseSelecting = false;
}

int32_t WheelStepRows(uint32_t wheelLines, double scrollSpeed) {
    const uint32_t onePage = std::numeric_limits<uint32_t>::max();
    const double lines = wheelLines == 0 || wheelLines == onePage ? 3.0 : double(wheelLines);
    const double speed = scrollSpeed > 0 ? scrollSpeed : 0.1; // NaN counts as too small
    const double rows = std::round(lines * speed);
    if (!(rows >= 1))
        return 1;
    return rows >= std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(rows);
}

void MouseWheel(EditState& s, int32_t delta, uint32_t wheelLines) {
    const int64_t notches = delta / 120;
    if (notches == 0)
        return;
    const int64_t step = WheelStepRows(wheelLines, s.view.scrollSpeed);
    // Even the largest step, times the most notches a delta holds, fits in 64 bits.
    s.view.scrollY -= step * s.view.lineHeight * notches;
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
    NotifyParent(s, EditNotify::Scroll);
}
