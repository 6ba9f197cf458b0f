// The text's blocks against a plain string: the same text after every step,
// wherever the blocks and their gaps happen to be.
#include "allocation_failure.h"

#include "editctl/line_table.h"
#include "editctl/text_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>
#include <string>

namespace {

// Small blocks of a text, each but the last ending in a break, some empty:
// many blocks without a large text.
TextBlocks SmallBlocks(std::u16string_view text, std::mt19937& rng) {
    TextBlocks blocks;
    while (true) {
        size_t cut = std::min(text.size(), size_t{rng() % 40});
        while (cut > 0 && cut < text.size() && text[cut - 1] != u'\n' && text[cut - 1] != u'\r')
            ++cut;
        TextBlock block = TextBlock::WithRoom(cut + (rng() % 3 == 0 ? 20 : 0));
        std::copy_n(text.data(), cut, block.units.get());
        block.size = cut;
        blocks.push_back(std::move(block));
        text.remove_prefix(cut);
        if (text.empty())
            return blocks;
    }
}

// No line leaves its block: the block holding a line's start holds its end.
bool LinesStayInTheirBlocks(const TextBuffer& text, std::u16string_view model) {
    for (size_t start = 0; start <= model.size();) {
        const size_t end = std::min(model.find_first_of(u"\r\n", start), model.size());
        const TextBuffer::BlockHalves block = text.blockAt(start);
        if (end > block.start + block.front.size() + block.back.size())
            return false;
        start = end + 1;
    }
    return true;
}

// The text as loading gives it: a string with room to spare, which becomes
// the last block's gap.
std::u16string Loaded(std::u16string_view text, size_t spare) {
    std::u16string loaded;
    loaded.reserve(text.size() + spare);
    return std::move(loaded.append(text));
}

TEST(TextBuffer, RandomEditsMatchAPlainString) {
    std::mt19937 rng(9);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    const std::u16string_view alphabet[] = {u"a", u"bc", u"\r", u"\n", u"\r\n", u"line\r\n"};
    auto units = [&](size_t n) {
        std::u16string out;
        while (out.size() < n)
            out += alphabet[pick(std::size(alphabet))];
        return out;
    };
    std::u16string model = units(400);
    TextBuffer text;
    text.assign(SmallBlocks(model, rng));
    for (int step = 0; step < 3000 && !testing::Test::HasFailure(); ++step) {
        // Half the edits at a line's start, where one block may end and the next begin.
        size_t at = pick(model.size() + 1);
        if (pick(2) == 0)
            at = std::min(model.find_first_of(u"\r\n", at) + 1, model.size());
        // Now and then more than a block holds, so that blocks grow and split.
        const size_t n = step % 500 == 1 ? 5 * kTextBlockUnits : pick(12);
        const size_t replaced = pick(3) == 0 ? 0 : pick(8);
        switch (n > kTextBlockUnits ? 1 : pick(6)) {
        case 0: { // units of the buffer itself, which the edit moves
            const std::u16string_view own = text.view(pick(model.size() + 1), n % 16);
            const std::u16string copy(own);
            text.replace(at, replaced, own);
            model.replace(at, replaced, copy);
            break;
        }
        case 1: {
            // Put back right after, the replaced units need no memory, also
            // where the block got no more room than it needed.
            // Once one line longer than a block, which its block holds whole.
            const std::u16string added = step == 501 ? std::u16string(n, u'a') : units(n);
            const std::u16string removed = model.substr(at, replaced);
            try {
                AllocationFailure roomless(1);
                text.replace(at, replaced, added);
            } catch (const std::bad_alloc&) {
                ASSERT_TRUE(model.empty()) << "only the first block's place is a second allocation";
                break;
            }
            {
                AllocationFailure failure(1);
                text.replace(at, added.size(), removed);
                ASSERT_FALSE(failure.struck()) << step;
            }
            ASSERT_EQ(text, model) << step;
            text.replace(at, removed.size(), added);
            model.replace(at, replaced, added);
            break;
        }
        case 2: { // out of memory: all or nothing
            const std::u16string added = units(n % 30);
            try {
                AllocationFailure failure(1 + pick(3));
                text.replace(at, replaced, added);
            } catch (const std::bad_alloc&) {
                ASSERT_EQ(text, model) << step;
                break;
            }
            model.replace(at, replaced, added);
            break;
        }
        case 3:
            ASSERT_EQ(text.view(at, n), std::u16string_view(model).substr(at, n)) << step;
            break;
        case 4: {
            const size_t count = std::min(n, model.size() - at);
            std::u16string copied(count, u'?');
            text.copy(at, count, copied.data());
            ASSERT_EQ(copied, model.substr(at, n)) << step;
            ASSERT_EQ(text.substr(at, n), model.substr(at, n)) << step;
            break;
        }
        default:
            text.tidy();
        }
        ASSERT_EQ(text.size(), model.size()) << step;
        if (!model.empty()) {
            ASSERT_EQ(text[at % model.size()], model[at % model.size()]) << step;
        }
        ASSERT_TRUE(model.size() > kTextBlockUnits || LinesStayInTheirBlocks(text, model)) << step;
        if (step % 16 != 0)
            continue;
        ASSERT_EQ(text, model) << "step " << step;
        std::u16string joined;
        for (const std::u16string_view piece : text.pieces())
            joined += piece;
        ASSERT_EQ(joined, model) << step;
        const TextBuffer other(model);
        ASSERT_TRUE(text == other) << step;
        ASSERT_TRUE(TextBuffer(text) == other) << step;
        // A large text taken whole, as loading gives it: edits go on over
        // its slices, each made afresh where it is first edited. Its spare
        // room may be larger than the gap a block is given.
        if (model.size() > kTextBlockUnits && step % 32 == 16) {
            text.assign(Loaded(model, pick(3) * (kTextBlockUnits / 2 + 20)));
            ASSERT_TRUE(LinesStayInTheirBlocks(text, model)) << step;
            continue;
        }
        // Back to small blocks, many of them full, which edits mostly merge.
        if (model.size() > kTextBlockUnits) {
            text.tidy();
            ASSERT_TRUE(LinesStayInTheirBlocks(text, model)) << step;
            ASSERT_EQ(text, model) << step;
            model.resize(pick(500));
        }
        if (pick(3) == 0)
            text.assign(Loaded(model, pick(3) * 20));
        else
            text.assign(SmallBlocks(model, rng));
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
