// The arithmetic of the main window's layout: where the tab strip, its close
// button, the active edit control and the status bar's parts go for a client
// size and a DPI. Platform-free; the window layer feeds it the status bar's
// own height and the scroll bar width and applies the result.
#pragma once

#include "winkit/box.h"

#include <array>
#include <cstdint>

// value * numerator / denominator rounded half away from zero, computed in 64
// bits; -1 when the denominator is 0 or the result does not fit. The same
// results as the system's MulDiv.
int32_t MulDivRound(int32_t value, int32_t numerator, int32_t denominator);

// A 96-DPI pixel size at dpi.
inline int32_t ScaleForDpi(int32_t pixels, int32_t dpi) {
    return MulDivRound(pixels, dpi, 96);
}

// The font height asked for a point size: negative, a character height in pixels.
inline int32_t FontHeightForPoints(int32_t points, int32_t dpi) {
    return -MulDivRound(points, dpi, 72);
}

// The point size after one Increase or Decrease step, kept within 6..200.
int32_t SteppedFontSize(int32_t current, int32_t delta);

// The height owner-drawn tab items are measured at.
inline int32_t MeasuredTabItemHeight(int32_t dpi) {
    return ScaleForDpi(30, dpi);
}

struct LayoutInput {
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t dpi = 96;
    bool showTabs = true;
    bool showStatusBar = true;
    int32_t statusBarHeight = 0; // the bar's own height once it has placed itself
    int32_t scrollBarWidth = 17; // the system's vertical scroll bar width
};

struct LayoutGeometry {
    int32_t stripHeight = 0; // 0 while the tab strip is hidden
    // The tab control ends where the close button begins, so that the scroll
    // arrows at its right end never sit under the button.
    int32_t stripWidth = 0;
    int32_t tabWidth = 0;
    int32_t tabHeight = 0;
    Box closeButton;                      // empty while the tab strip is hidden
    std::array<int32_t, 4> statusEdges{}; // right edges of the four status parts
    Box edit;                             // the active edit control, never negative in height
};

LayoutGeometry ComputeLayout(const LayoutInput& input);

struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The main window's first size: the work area, but at most 1800 by 1300;
// 1800 by 1300 when the work area is unknown.
WindowSize InitialWindowSize(const Box* workArea);
