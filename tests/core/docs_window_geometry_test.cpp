// The main window's layout arithmetic at 72, 96 and 144 DPI.
#include "docs/window_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

// Whatever the client size, DPI and bars: the parts tile the client area
// from the top without overlap or negative sizes, the tabs end where the
// square close button begins, the status parts stay in order and clear of
// the size grip, and what scales with the DPI grows in proportion.
TEST(AppLayoutGeometry, PartsTileTheClientAreaAtAnySizeAndDpi) {
    for (int32_t dpi : {72, 96, 120, 144, 192})
        for (int32_t width : {10, 200, 500, 800, 3000})
            for (int32_t height : {10, 300, 1000})
                for (int bars = 0; bars < 4; ++bars) {
                    LayoutInput input = Input(width, height, dpi);
                    input.showTabs = bars & 1;
                    input.showStatusBar = bars & 2;
                    input.scrollBarWidth = width % 3 == 0 ? 10 : 17;
                    const LayoutGeometry g = ComputeLayout(input);
                    const Box& b = g.closeButton;
                    SCOPED_TRACE(testing::Message()
                                 << width << "x" << height << " at " << dpi << " bars " << bars);

                    EXPECT_EQ(g.edit.top, g.stripHeight);
                    EXPECT_EQ(g.edit.left, 0);
                    EXPECT_EQ(g.edit.right, width);
                    const int32_t below = input.showStatusBar ? input.statusBarHeight : 0;
                    EXPECT_EQ(g.edit.bottom, std::max(g.stripHeight, height - below));
                    if (!input.showTabs) {
                        EXPECT_EQ(g.stripHeight, 0);
                        EXPECT_EQ(b, Box{});
                    } else {
                        EXPECT_GE(g.stripHeight, 24); // room for the captions at any DPI
                        EXPECT_LE(g.tabHeight, g.stripHeight);
                        EXPECT_EQ(b.Width(), b.Height());
                        EXPECT_GE(b.left, 0);
                        EXPECT_GE(b.top, 0);
                        EXPECT_LE(b.bottom, g.stripHeight);
                        EXPECT_LE(std::abs(b.top - (g.stripHeight - b.bottom)), 1); // centred
                        EXPECT_TRUE(b.right < width || b.left == 0);
                        EXPECT_EQ(g.stripWidth, b.left);
                        const LayoutGeometry at96 = ComputeLayout(Input(width, height, 96));
                        EXPECT_EQ(g.tabWidth, MulDivRound(at96.tabWidth, dpi, 96));
                        EXPECT_EQ(b.Width(), MulDivRound(at96.closeButton.Width(), dpi, 96));
                    }
                    const auto& edges = g.statusEdges;
                    EXPECT_GE(edges[0], 0);
                    EXPECT_TRUE(edges[0] < edges[1] && edges[1] < edges[2] && edges[2] < edges[3]);
                    const int32_t grip = std::max(input.scrollBarWidth, 16);
                    EXPECT_TRUE(edges[3] == width - grip || edges[0] == 0);
                }
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
