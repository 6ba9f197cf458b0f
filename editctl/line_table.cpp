#include "editctl/line_table.h"

#include "editctl/saturate.h"

#include <algorithm>
#include <cstring>

namespace {

// Cells of a line: every unit one cell, a tab up to the next tab stop.
struct Measured {
    int64_t end;   // index of the break or the text's end
    int64_t cells; // width in cells
    bool hasTab;
};

// Scans from `start` to the next CR, LF or the end; one pass, no allocation.
Measured MeasureLine(const char16_t* text, int64_t length, int64_t start, int64_t tabWidth) {
    int64_t extra = 0; // cells tabs add beyond their one unit
    bool hasTab = false;
    int64_t i = start;
    for (; i < length; ++i) {
        // Skip four units at a time while none is below 14: such a unit
        // borrows into its top bit. Units from 0x8000 up can only raise false
        // alarms, which the unit-by-unit check below settles.
        while (i + 4 <= length) {
            uint64_t four;
            std::memcpy(&four, text + i, sizeof four);
            constexpr uint64_t kOnes = 0x0001000100010001, kHigh = 0x8000800080008000;
            if (((four - 14 * kOnes) & ~four & kHigh) != 0)
                break;
            i += 4;
        }
        if (i == length)
            break;
        const char16_t c = text[i];
        if (c > 13)
            continue;
        if (c == 13 || c == 10)
            break;
        if (c == 9) {
            const int64_t column = i - start + extra;
            extra += tabWidth - column % tabWidth - 1;
            hasTab = true;
        }
    }
    return {i, i - start + extra, hasTab};
}

} // namespace

void LineTable::rebuild(std::u16string_view text, const LineMetrics& metrics) {
    lines_.clear();
    tops_.clear();
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t perRow = metrics.columnsPerRow;
    int64_t rowSum = 0;
    int64_t widest = 0;
    int64_t start = 0;
    for (;;) {
        const Measured m = MeasureLine(text.data(), length, start, metrics.tabWidth);
        int64_t rows = 1;
        if (perRow > 0 && m.cells > 0)
            rows = (m.cells + perRow - 1) / perRow;
        tops_.push_back(Saturate32(rowSum * metrics.lineHeight));
        lines_.push_back({static_cast<int32_t>(start), static_cast<int32_t>(m.end - start),
                          Saturate32(rows), m.hasTab});
        rowSum += rows;
        widest = std::max(widest, m.cells);
        if (m.end >= length)
            break;
        int64_t next = m.end + 1;
        if (text[m.end] == 13 && next < length && text[next] == 10)
            ++next;
        start = next;
    }
    totalRows_ = Saturate32(rowSum);
    maxLineWidth_ = Saturate32(widest * metrics.charWidth);
}

int32_t LineTable::lineOfPosition(int32_t position) const {
    if (lines_.empty())
        return 0;
    auto after = std::upper_bound(lines_.begin(), lines_.end(), position,
                                  [](int32_t p, const LineInfo& line) { return p < line.start; });
    if (after == lines_.begin())
        return 0;
    return static_cast<int32_t>(after - lines_.begin() - 1);
}

int32_t LineTable::lineAtY(int32_t y) const {
    if (tops_.empty())
        return 0;
    auto after = std::upper_bound(tops_.begin(), tops_.end(), y);
    if (after == tops_.begin())
        return 0;
    return static_cast<int32_t>(after - tops_.begin() - 1);
}
