// The main window's layout arithmetic at 72, 96 and 144 DPI.
#include "docs/window_geometry.h"

#include <gtest/gtest.h>

namespace {

LayoutInput Input(int32_t width, int32_t height, int32_t dpi) {
    LayoutInput input;
    input.clientWidth = width;
    input.clientHeight = height;
    input.dpi = dpi;
    input.statusBarHeight = 22;
    return input;
}

} // namespace

TEST(AppLayoutGeometry, MulDivRoundsLikeTheSystem) {
    EXPECT_EQ(MulDivRound(11, 96, 72), 15); // 14.67
    EXPECT_EQ(MulDivRound(11, 144, 72), 22);
    EXPECT_EQ(MulDivRound(3, 1, 2), 2); // halves round away from zero
    EXPECT_EQ(MulDivRound(-3, 1, 2), -2);
    EXPECT_EQ(MulDivRound(3, -1, 2), -2);
    EXPECT_EQ(MulDivRound(5, 1, 3), 2);
    EXPECT_EQ(MulDivRound(7, 1, 0), -1);
    EXPECT_EQ(MulDivRound(0x40000000, 4, 1), -1);
    EXPECT_EQ(FontHeightForPoints(11, 96), -15);
    EXPECT_EQ(FontHeightForPoints(11, 144), -22);
    EXPECT_EQ(MeasuredTabItemHeight(96), 30);
    EXPECT_EQ(MeasuredTabItemHeight(144), 45);
}

TEST(AppLayoutGeometry, At96Dpi) {
    const LayoutGeometry g = ComputeLayout(Input(800, 600, 96));
    EXPECT_EQ(g.stripHeight, 24);
    EXPECT_EQ(g.tabWidth, 120);
    EXPECT_EQ(g.tabHeight, 24);
    EXPECT_EQ(g.closeButton, (Box{778, 3, 796, 21}));
    EXPECT_EQ(g.stripWidth, 778); // the tabs and their arrows end left of the button
    EXPECT_EQ(g.statusEdges, (std::array<int32_t, 4>{543, 623, 693, 783}));
    EXPECT_EQ(g.edit, (Box{0, 24, 800, 578}));
}

TEST(AppLayoutGeometry, At144Dpi) {
    const LayoutGeometry g = ComputeLayout(Input(1000, 700, 144));
    EXPECT_EQ(g.stripHeight, 36);
    EXPECT_EQ(g.tabWidth, 180);
    EXPECT_EQ(g.tabHeight, 32);
    EXPECT_EQ(g.closeButton, (Box{967, 4, 994, 31})); // 27 square, gap 6
    // The status parts are not scaled.
    EXPECT_EQ(g.statusEdges, (std::array<int32_t, 4>{743, 823, 893, 983}));
    EXPECT_EQ(g.edit, (Box{0, 36, 1000, 678}));
}

TEST(AppLayoutGeometry, At72DpiTheStripStaysAtLeast24) {
    const LayoutGeometry g = ComputeLayout(Input(640, 480, 72));
    EXPECT_EQ(g.stripHeight, 24);
    EXPECT_EQ(g.tabWidth, 90);
    EXPECT_EQ(g.tabHeight, 24);
    EXPECT_EQ(g.closeButton, (Box{623, 5, 637, 19})); // 14 square, gap 3
    EXPECT_EQ(g.edit.top, 24);
}

TEST(AppLayoutGeometry, HiddenBarsAndTinyWindows) {
    LayoutInput input = Input(500, 300, 96);
    input.showTabs = false;
    input.showStatusBar = false;
    LayoutGeometry g = ComputeLayout(input);
    EXPECT_EQ(g.stripHeight, 0);
    EXPECT_EQ(g.closeButton, Box{});
    EXPECT_EQ(g.edit, (Box{0, 0, 500, 300}));

    // Ten pixels high: the edit control gets 0, never a negative height.
    g = ComputeLayout(Input(500, 10, 96));
    EXPECT_EQ(g.edit.Height(), 0);
    EXPECT_EQ(g.edit.top, 24);

    // Narrower than the status bar's reserve: the parts start at the left edge.
    g = ComputeLayout(Input(200, 300, 96));
    EXPECT_EQ(g.statusEdges, (std::array<int32_t, 4>{0, 80, 150, 240}));
    // A narrow scroll bar still reserves 16 pixels.
    input = Input(800, 600, 96);
    input.scrollBarWidth = 10;
    EXPECT_EQ(ComputeLayout(input).statusEdges[0], 544);
    // The close button never leaves the client area to the left.
    EXPECT_EQ(ComputeLayout(Input(10, 300, 96)).closeButton.left, 0);
}

TEST(AppLayoutGeometry, FontStepsAndInitialSize) {
    EXPECT_EQ(SteppedFontSize(11, +1), 12);
    EXPECT_EQ(SteppedFontSize(200, +1), 200);
    EXPECT_EQ(SteppedFontSize(6, -1), 6);
    // A size outside the range from an older run is pulled back in.
    EXPECT_EQ(SteppedFontSize(300, -1), 200);

    const Box small{0, 0, 1280, 720};
    EXPECT_EQ(InitialWindowSize(&small).width, 1280);
    EXPECT_EQ(InitialWindowSize(&small).height, 720);
    const Box large{0, 0, 2560, 1440};
    EXPECT_EQ(InitialWindowSize(&large).width, 1800);
    EXPECT_EQ(InitialWindowSize(&large).height, 1300);
    EXPECT_EQ(InitialWindowSize(nullptr).width, 1800);
    EXPECT_EQ(InitialWindowSize(nullptr).height, 1300);
}
