// Content far more than 2^31 pixels tall or wide: scrolling, the caret,
// hits and paint stay exact, and the 32-bit scroll bars reach both ends.
#include "edit_fixture.h"

#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/scroll_bars.h"
#include "editctl/scroll_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// The last position the system lets a bar's thumb reach.
int32_t LastBarPosition(const ScrollBarState& bar) {
    return std::max(bar.max - std::max(bar.page - 1, 0), 0);
}

TEST(ScrollMapping, TheBarsEndsAreTheRangesEnds) {
    struct Case {
        int64_t extent;
        int32_t page;
    };
    const Case cases[] = {
        {0, 0},
        {500, 900}, // shorter than the client
        {1000, 300},
        {int64_t{1} << 30, 900},
        {(int64_t{1} << 30) + 1, 900},
        {kInt32Max, 900},
        {kInt32Max + 1, 900},
        {715'827'882LL * 18 + 4, 1300}, // the most one-unit lines a text holds, 18 pixels each
        {(int64_t{1} << 42) + 7, 5},    // rows far taller than the client
        {int64_t{1} << 42, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "extent " << c.extent << ", page " << c.page);
        const int64_t range = std::max<int64_t>(c.extent - c.page, 0);
        const ScrollBarState top = ScrollBarFor(c.extent, c.page, 0);
        const ScrollBarState end = ScrollBarFor(c.extent, c.page, range);
        EXPECT_LE(top.max, 1 << 30); // where the system's thumb arithmetic is safe
        EXPECT_EQ(top.pos, 0);
        EXPECT_EQ(ScrollOffsetAt(c.extent, c.page, 0), 0);
        EXPECT_EQ(ScrollBarFor(c.extent, c.page, range + 100).pos, end.pos);
        // The thumb can reach the end, and from there on stands for it.
        EXPECT_LE(end.pos, LastBarPosition(end));
        EXPECT_EQ(ScrollOffsetAt(c.extent, c.page, end.pos), range);
        EXPECT_EQ(ScrollOffsetAt(c.extent, c.page, LastBarPosition(end)), range);
        if (c.extent <= int64_t{1} << 30) { // a bar unit is a pixel while that fits
            EXPECT_EQ(top.max, c.extent);
            EXPECT_EQ(top.page, c.page);
        }
        if (c.extent > c.page && c.page > 0) {
            EXPECT_NEAR(double(top.page) / top.max, double(c.page) / double(c.extent),
                        2.0 / top.max);
        }
        // Positions between stand for offsets in order, and show there again.
        for (const int32_t p : {1, end.pos / 2, end.pos - 1}) {
            if (p <= 0 || p >= end.pos)
                continue;
            const int64_t offset = ScrollOffsetAt(c.extent, c.page, p);
            EXPECT_LT(ScrollOffsetAt(c.extent, c.page, p - 1), offset);
            EXPECT_LT(offset, range);
            EXPECT_EQ(ScrollBarFor(c.extent, c.page, offset).pos, p);
        }
    }
}

// Rows or cells of 2^20 pixels take a few thousand units past 2^31
// pixels: the caret at each place is scrolled into view, drawn where it
// stands, hit where it is drawn, and painted among the few lines showing.
TEST(EditBeyondThirtyTwoBits, FarPlacesShowAndAnswerAsNearOnes) {
    constexpr int32_t kHuge = 1 << 20;
    std::u16string tallText;
    for (int i = 0; i < 3000; ++i)
        tallText += u"x\r\n";
    struct Case {
        const char* name;
        std::u16string text;
        EditView view;
        int32_t charWidth, lineHeight;
    };
    const Case cases[] = {
        {"tall", tallText, {800, 3 * kHuge, true, true}, 8, kHuge},
        {"wide", std::u16string(3000, u'x'), {5 * kHuge, 600, false, true}, kHuge, 16},
    };
    for (const Case& c : cases) {
        EditState s = MakeEdit(c.text, c.view);
        SetFontMetrics(s, nullptr, c.charWidth, c.lineHeight);
        const bool tall = c.lineHeight == kHuge;
        for (const int32_t unit : {0, 2047, 2048, 2999, 3000}) {
            const int32_t position = tall ? 3 * unit : unit;
            SCOPED_TRACE(testing::Message() << c.name << " at " << position);
            SetSelection(s, position, position);
            EditEffects fx = TakeEffects(s);
            ASSERT_TRUE(fx.caret);
            ASSERT_GE(fx.caretX, 0);
            ASSERT_LT(fx.caretX, s.view.clientWidth);
            ASSERT_GE(fx.caretY, 0);
            ASSERT_LT(fx.caretY, s.view.clientHeight);
            EXPECT_EQ(HitTest(s, fx.caretX + 1, fx.caretY + c.lineHeight / 2), position);
            const PaintPlan plan = PlanPaint(s);
            EXPECT_LE(plan.numbers.size(), 5u);
            EXPECT_TRUE(std::any_of(plan.numbers.begin(), plan.numbers.end(),
                                    [&](const NumberCell& n) {
                                        return n.top == fx.caretY && n.number == unit + 1;
                                    }) ||
                        !tall);
            const bool drawn = std::any_of(plan.runs.begin(), plan.runs.end(),
                                           [&](const TextRun& r) { return r.top == fx.caretY; });
            EXPECT_TRUE(drawn || (tall && unit == 3000));
        }
        // The thumb dragged to each end of its track shows that end of the text.
        for (const bool toEnd : {false, true}) {
            UpdateScrollBars(s);
            const EditEffects bars = TakeEffects(s);
            const ScrollBarState& bar = tall ? bars.vertical : bars.horizontal;
            ScrollByRequest(s, !tall, ScrollRequest::ThumbTrack, toEnd ? LastBarPosition(bar) : 0);
            const ScrollAxis axis = tall ? VerticalAxis(s) : HorizontalAxis(s);
            EXPECT_EQ(tall ? s.view.scrollY : s.view.scrollX, toEnd ? axis.extent - axis.page : 0);
        }
        EXPECT_GT(s.view.scrollX + s.view.scrollY, kInt32Max);
        HandleKeyDown(s, EditKey::Home, false, true);
        EXPECT_EQ(s.view.scrollX + s.view.scrollY, 0);
    }
}

} // namespace
