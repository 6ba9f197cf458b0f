#include "editctl/width_counts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <set>
#include <vector>

// Random lines come and go, with many equal widths on both sides of the
// narrow bound, and room is made now and then for widths that never come;
// the widest must always be that of a line still there.
TEST(WidthCounts, WidestFollowsLinesComingAndGoing) {
    std::mt19937 random(25);
    const std::vector<int64_t> widths = {0,    1,    2,    80,   1022,
                                         1023, 1024, 1025, 5000, int64_t{1} << 33};
    WidthCounts counts;
    std::multiset<int64_t> lines;
    for (int step = 0; step < 20000; ++step) {
        const auto choice = random() % 8;
        if (choice == 0) {
            WidthCounts unused;
            unused.add(widths[random() % widths.size()] + 1);
            counts.makeRoom(unused);
        } else if (choice < 5 && !lines.empty()) {
            auto gone = lines.begin();
            std::advance(gone, random() % lines.size());
            counts.remove(*gone);
            lines.erase(gone);
        } else {
            const int64_t cells = widths[random() % widths.size()];
            counts.add(cells);
            lines.insert(cells);
        }
        ASSERT_EQ(counts.widest(), lines.empty() ? 0 : *lines.rbegin()) << "step " << step;
    }
    counts.clear();
    EXPECT_EQ(counts.widest(), 0);
}
