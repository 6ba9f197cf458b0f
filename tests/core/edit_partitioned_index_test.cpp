// The index in chunks, each adding its own amount to what it holds, must
// read exactly as a plain array changed in place.
#include "allocation_failure.h"

#include "editctl/partitioned_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Random replacements anywhere, near the last one or at either end, on
// ascending values that sometimes pass the int32 limits' neighbourhood, in
// chunks of a few entries, with now and then many entries at once and the
// index built afresh; once room is made, a replacement needs no memory. The
// copy made halfway must go on as an independent equal.
TEST(PartitionedIndex, ReadsAsAPlainArrayAfterRandomReplacements) {
    std::mt19937 rng(9);
    auto pick = [&](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng);
    };
    std::vector<int32_t> plain;
    constexpr size_t kChunk = 8;
    PartitionedIndex index(kChunk);
    PartitionedIndex copy(kChunk);
    std::vector<int32_t> copied;
    int32_t last = 0;
    for (int step = 0; step < 4000; ++step) {
        const auto size = static_cast<int32_t>(plain.size());
        const int32_t from =
            pick(0, 2) == 0 ? pick(0, size) : std::clamp(last + pick(-3, 3), 0, size);
        const int32_t to = std::min(size, from + pick(0, 3));
        const int32_t count = pick(0, 40) == 0 ? pick(20, 60) : pick(0, size < 300 ? 4 : 2);
        // New values ascend from the one before them, and the moved tail
        // stays above them; a step that would leave int32 is skipped.
        int64_t value = from > 0 ? plain[static_cast<size_t>(from) - 1] : -2'000'000'000;
        std::vector<int32_t> fresh;
        for (int32_t i = 0; i < count; ++i)
            fresh.push_back(static_cast<int32_t>(
                std::min<int64_t>(value += pick(0, 50'000'000), 2'100'000'000)));
        const int64_t tail = to < size ? plain[static_cast<size_t>(to)] : value;
        const int64_t delta =
            to < size ? std::max<int64_t>(value - tail, pick(-100'000'000, 100'000'000)) : 0;
        if (value > 2'100'000'000 || (to < size && plain.back() + delta > 2'100'000'000))
            continue;
        index.makeRoom(from, to, count);
        {
            AllocationFailure failure(1);
            index.replace(from, to, count, static_cast<int32_t>(delta));
            for (int32_t i = 0; i < count; ++i)
                index.set(from + i, fresh[static_cast<size_t>(i)]);
            ASSERT_FALSE(failure.struck()) << "step " << step;
        }
        for (auto it = plain.begin() + to; it != plain.end(); ++it)
            *it += static_cast<int32_t>(delta);
        plain.erase(plain.begin() + from, plain.begin() + to);
        plain.insert(plain.begin() + from, fresh.begin(), fresh.end());
        last = from;
        if (pick(0, 20) == 0) { // appended past the step
            std::vector<int32_t> more(static_cast<size_t>(pick(0, 20)),
                                      plain.empty() ? 0 : plain.back());
            index.append(more.data(), more.size());
            plain.insert(plain.end(), more.begin(), more.end());
        }
        if (pick(0, 150) == 0) { // built afresh in the memory it has, or in more
            if (pick(0, 1) == 0)
                index.reserve(plain.size() + 30);
            index.clear();
            for (const int32_t kept : plain)
                index.push_back(kept);
        }
        if (step == 2000) {
            copy = index;
            copied = plain;
        }
        ASSERT_EQ(index.size(), static_cast<int32_t>(plain.size())) << "step " << step;
        for (int32_t i = 0; i < index.size(); ++i)
            ASSERT_EQ(index[i], plain[static_cast<size_t>(i)]) << "step " << step << " at " << i;
        const int32_t readFrom = pick(0, index.size());
        std::vector<int32_t> read(static_cast<size_t>(pick(0, index.size() - readFrom)));
        index.read(readFrom, read.size(), read.data());
        ASSERT_TRUE(std::equal(read.begin(), read.end(), plain.begin() + readFrom))
            << "step " << step;
        const int32_t probe = pick(-2'000'000'000, 2'000'000'000);
        const int32_t from2 = pick(0, index.size());
        EXPECT_EQ(index.upperBound(from2, probe),
                  std::upper_bound(plain.begin() + from2, plain.end(), probe) - plain.begin());
    }
    ASSERT_EQ(copy.size(), static_cast<int32_t>(copied.size()));
    for (int32_t i = 0; i < copy.size(); ++i)
        ASSERT_EQ(copy[i], copied[static_cast<size_t>(i)]);
}

} // namespace
