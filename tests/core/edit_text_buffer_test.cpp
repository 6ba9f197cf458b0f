// The gap buffer against a plain string: the same text after every step,
// wherever the gap happens to be.
#include "allocation_failure.h"

#include "editctl/line_table.h"
#include "editctl/text_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(TextBuffer, RandomEditsMatchAPlainString) {
    std::mt19937 rng(9);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    std::u16string model = u"adopted";
    std::u16string block = model;
    block.reserve(40);
    TextBuffer text;
    text.assign(std::move(block));
    for (int step = 0; step < 1500 && !testing::Test::HasFailure(); ++step) {
        const size_t at = pick(model.size() + 1);
        // Now and then more than the gap holds, so that the buffer grows.
        const size_t n = pick(40) == 0 ? pick(40000) : pick(6);
        switch (pick(5)) {
        case 0: {
            const std::u16string units(n, static_cast<char16_t>(u'a' + step % 26));
            text.insert(at, units);
            model.insert(at, units);
            break;
        }
        case 1: { // units of the buffer itself, which the insert moves
            const std::u16string_view own = text.view(pick(model.size() + 1), n % 64);
            model.insert(at, std::u16string(own));
            text.insert(at, own);
            break;
        }
        case 2:
            text.erase(at, n);
            model.erase(at, n);
            break;
        case 3:
            ASSERT_EQ(text.view(at, n), std::u16string_view(model).substr(at, n)) << step;
            break;
        default:
            ASSERT_EQ(text.substr(at, n), model.substr(at, n)) << step;
        }
        ASSERT_EQ(text.size(), model.size()) << step;
        if (!model.empty()) {
            ASSERT_EQ(text[at % model.size()], model[at % model.size()]) << step;
        }
        if (step % 16 != 0)
            continue;
        ASSERT_EQ(text, model) << "step " << step;
        // Another buffer of the same text with its gap at the start.
        TextBuffer other(model);
        other.insert(0, u"x");
        other.erase(0, 1);
        ASSERT_TRUE(text == other) << step;
        other.insert(pick(model.size() + 1), u"x");
        ASSERT_FALSE(text == other) << step;
        const auto [front, back] = text.halves();
        ASSERT_EQ(front, std::u16string_view(model).substr(0, front.size())) << step;
        ASSERT_EQ(back, std::u16string_view(model).substr(front.size())) << step;
    }
    EXPECT_EQ(text, model);
    EXPECT_THROW(text.view(model.size() + 1), std::out_of_range);
    EXPECT_THROW(text.insert(model.size() + 1, u"x"), std::out_of_range);
}

TEST(TextBuffer, ViewsOfSeparateRangesStayValidTogether) {
    TextBuffer text(u"0123456789abcdefghij");
    text.insert(12, u"+"); // the gap now lies inside "ab+cdef"
    const std::u16string_view left = text.view(0, 10);
    const std::u16string_view across = text.view(10, 7);
    EXPECT_EQ(across, u"ab+cdef");
    EXPECT_EQ(left, u"0123456789");
}

TEST(TextBuffer, AdoptedAndReservedRoomTakesInsertsWithoutAllocating) {
    std::u16string block = u"loaded";
    block.reserve(1000);
    const size_t room = block.capacity();
    TextBuffer text;
    text.assign(std::move(block));
    EXPECT_EQ(text.capacity(), room);
    text.reserve(room + 500);
    const size_t reserved = text.capacity();
    const std::u16string fill(reserved - text.size() - 1, u'y');
    {
        AllocationFailure failure(1);
        text.insert(3, u"x");
        text.insert(0, fill);
        EXPECT_FALSE(failure.struck());
    }
    EXPECT_EQ(text.capacity(), reserved);
    EXPECT_EQ(text.size(), reserved);
    EXPECT_EQ(text.substr(text.size() - 7), u"loaxded");
}

// Lines are measured in place on either side of the gap; one the gap cuts
// through (even between the halves of a pair or a CR LF) must measure the same.
TEST(TextBuffer, LineTableIsTheSameWhereverTheGapLies) {
    const std::u16string source = u"ab\tc\r\n\U0001F600e\u0301\r\rx\u4e2d\ty\n\tlast line here";
    const LineMetrics views[] = {{0, 4, 8}, {3, 4, 8}};
    for (const LineMetrics& metrics : views) {
        LineTable want;
        want.rebuild(TextBuffer(source), metrics);
        for (size_t gap = 0; gap <= source.size(); ++gap) {
            TextBuffer text(source);
            text.insert(gap, u"#");
            text.erase(gap, 1);
            LineTable got;
            got.rebuild(text, metrics);
            ASSERT_EQ(got.size(), want.size()) << gap;
            for (int32_t i = 0; i < want.size(); ++i) {
                const LineInfo g = got[i], w = want[i];
                ASSERT_TRUE(g.start == w.start && g.length == w.length && g.rows == w.rows &&
                            g.hasTab == w.hasTab && g.hasComplex == w.hasComplex)
                    << "gap " << gap << " line " << i;
            }
            ASSERT_EQ(got.maxLineWidth(), want.maxLineWidth()) << gap;
            ASSERT_EQ(got.totalRows(), want.totalRows()) << gap;
        }
    }
}

} // namespace
