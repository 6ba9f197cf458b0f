#include "editctl/mouse.h"

#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"
#include "editctl/words.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

void CountClick(EditState& s, int32_t x, int32_t y, uint32_t now, const ClickLimits& limits) {
    const bool repeated = now - s.lastClickTime <= limits.time &&
                          std::abs(int64_t{x} - s.lastClickX) <= limits.width &&
                          std::abs(int64_t{y} - s.lastClickY) <= limits.height;
    s.clickCount = repeated ? s.clickCount + 1 : 1;
    s.lastClickTime = now;
    s.lastClickX = x;
    s.lastClickY = y;
}

} // namespace

void MouseButtonDown(EditState& s, int32_t x, int32_t y, uint32_t now, const ClickLimits& limits,
                     bool shift) {
    CountClick(s, x, y, now, limits);
    const int32_t position = HitTest(s, x, y);
    if (s.clickCount >= 3 && !s.lines.empty()) {
        const LineInfo line = s.lines[LocateLine(s, position).line];
        s.anchor = line.start;
        s.caret = line.start + line.length;
        s.clickCount = 0;
    } else {
        s.caret = position;
        if (!shift)
            s.anchor = position;
    }
    s.mouseSelecting = true;
    FinishCaretMove(s);
}

void MouseDoubleClick(EditState& s, int32_t x, int32_t y) {
    SelectWordAt(s, HitTest(s, x, y));
    s.mouseSelecting = true;
    FinishCaretMove(s);
}

void MouseMove(EditState& s, int32_t x, int32_t y) {
    if (!s.mouseSelecting)
        return;
    s.caret = HitTest(s, x, y);
    FinishCaretMove(s);
}

void MouseButtonUp(EditState& s) {
    s.mouseSelecting = false;
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
    const int64_t step = WheelStepRows(wheelLines, s.scrollSpeed);
    // Saturated so that a huge step lands at an end instead of overflowing.
    s.scrollY = Saturate32(s.scrollY - step * s.lineHeight * notches);
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
    NotifyParent(s, EditNotify::Scroll);
}
