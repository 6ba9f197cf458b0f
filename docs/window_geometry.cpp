#include "docs/window_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

int32_t MulDivRound(int32_t value, int32_t numerator, int32_t denominator) {
    if (denominator == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t magnitude = (std::llabs(product) + std::llabs(denominator) / 2) /
                              std::llabs(static_cast<int64_t>(denominator));
    if (magnitude > INT32_MAX)
        return -1;
    const bool negative = (product < 0) != (denominator < 0);
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t SteppedFontSize(int32_t current, int32_t delta) {
    return std::clamp(current + delta, 6, 200);
}

namespace {

// The status bar keeps a scroll bar's width free at the right, then three
// fixed parts of 80, 70 and 90 pixels; the first part takes what is left.
std::array<int32_t, 4> StatusEdges(int32_t clientWidth, int32_t scrollBarWidth) {
    const int32_t first = std::max(0, clientWidth - std::max(scrollBarWidth, 16) - 240);
    return {first, first + 80, first + 150, first + 240};
}

Box CloseButtonBox(int32_t clientWidth, int32_t stripHeight, int32_t dpi) {
    const int32_t side = ScaleForDpi(18, dpi);
    const int32_t gap = ScaleForDpi(4, dpi);
    const int32_t x = std::max(0, clientWidth - gap - side);
    const int32_t y = std::max(0, (stripHeight - side) / 2);
    return {x, y, x + side, y + side};
}

} // namespace

LayoutGeometry ComputeLayout(const LayoutInput& input) {
    LayoutGeometry g;
    g.statusEdges = StatusEdges(input.clientWidth, input.scrollBarWidth);
    const int32_t statusHeight = input.showStatusBar ? input.statusBarHeight : 0;
    if (input.showTabs) {
        g.stripHeight = std::max(24, ScaleForDpi(24, input.dpi));
        g.tabWidth = ScaleForDpi(120, input.dpi);
        g.tabHeight = std::max(24, g.stripHeight - 4);
        g.closeButton = CloseButtonBox(input.clientWidth, g.stripHeight, input.dpi);
        g.stripWidth = g.closeButton.left;
    }
    const int32_t editHeight = std::max(0, input.clientHeight - g.stripHeight - statusHeight);
    g.edit = {0, g.stripHeight, input.clientWidth, g.stripHeight + editHeight};
    return g;
}

WindowSize InitialWindowSize(const Box* workArea) {
    if (!workArea)
        return {1800, 1300};
    return {std::min(workArea->Width(), 1800), std::min(workArea->Height(), 1300)};
}
