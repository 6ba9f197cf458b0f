#include "editctl/line_table.h"

#include "editctl/cells.h"
#include "editctl/characters.h"
#include "editctl/room.h"
#include "editctl/saturate.h"
#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace {

// Cells of a line, placed as cells.h places them.
struct Measured {
    int64_t end;   // index of the break or the text's end
    int64_t cells; // width in cells
    bool hasTab;
    bool hasComplex;
};

// Scans from `start` to the next CR, LF or the end; one pass, no allocation.
Measured MeasureLine(const char16_t* text, int64_t length, int64_t start, const CellRules& rules) {
    // The line as far as it may reach: characters never cross a break.
    const std::u16string_view rest(text + start, static_cast<size_t>(length - start));
    int64_t extra = 0; // cells beyond one per unit
    bool hasTab = false;
    bool hasComplex = false;
    int64_t i = start;
    for (; i < length; ++i) {
        // Skip four units at a time while all lie in [14, 0x100): a unit
        // below 14 borrows into its top bit, a higher one has a high byte.
        // Units from 0x8000 up can only raise false alarms, which the
        // unit-by-unit check below settles.
        while (i + 4 <= length) {
            uint64_t four;
            std::memcpy(&four, text + i, sizeof four);
            constexpr uint64_t kOnes = 0x0001000100010001, kHigh = 0x8000800080008000;
            constexpr uint64_t kHighBytes = 0xFF00FF00FF00FF00;
            if ((((four - 14 * kOnes) & ~four & kHigh) | (four & kHighBytes)) != 0)
                break;
            i += 4;
        }
        if (i == length)
            break;
        const char16_t c = text[i];
        if (c == 13 || c == 10)
            break;
        if (c != 9 && c < 0x300)
            continue;
        const auto offset = static_cast<int32_t>(i - start);
        if (c >= 0x300) {
            hasComplex = true;
            if (!IsCharStop(rest, offset)) {
                --extra; // a unit of the character before: no cells of its own
                continue;
            }
        } else {
            hasTab = true;
        }
        const int64_t column = i - start + extra;
        extra += PlaceCharacter(rest, offset, column, rules).end - column - 1;
    }
    return {i, i - start + extra, hasTab, hasComplex};
}

bool IsBreak(char16_t unit) {
    return unit == kCr || unit == kLf;
}

// Measures the line at `start` where it lies, on one side of the text's gap.
// A line running into the gap is viewed whole, which moves the gap out of
// it, and measured again.
Measured MeasureLineAt(const TextBuffer& text, int64_t start, const CellRules& rules) {
    const auto [front, back] = text.halves();
    const auto split = static_cast<int64_t>(front.size());
    if (start >= split) {
        Measured m =
            MeasureLine(back.data(), static_cast<int64_t>(back.size()), start - split, rules);
        m.end += split;
        return m;
    }
    const Measured m = MeasureLine(front.data(), split, start, rules);
    if (m.end < split || back.empty() || IsBreak(back.front()))
        return m;
    const auto end =
        static_cast<int64_t>(std::find_if(back.begin(), back.end(), IsBreak) - back.begin()) +
        split;
    const std::u16string_view line =
        text.view(static_cast<size_t>(start), static_cast<size_t>(end - start));
    Measured whole = MeasureLine(line.data(), end - start, 0, rules);
    whole.end += start;
    return whole;
}

// Replaces v[from, to) with `with`; the tail moves only when the counts differ.
template <typename T>
void Splice(std::vector<T>& v, int32_t from, int32_t to, const std::vector<T>& with) {
    const auto count = static_cast<std::ptrdiff_t>(with.size());
    const std::ptrdiff_t common = std::min<std::ptrdiff_t>(to - from, count);
    const auto at = std::copy_n(with.begin(), common, v.begin() + from);
    if (count > common)
        v.insert(at, with.begin() + common, with.end());
    else
        v.erase(at, v.begin() + to);
}

// Whether every row top of so many rows is exact, not saturated.
bool TopsFit(int64_t rows, int32_t lineHeight) {
    return rows * lineHeight <= std::numeric_limits<int32_t>::max();
}

} // namespace

void TextChange::add(int32_t position, int32_t removed, int32_t inserted) {
    if (removed == 0 && inserted == 0)
        return;
    if (!any)
        *this = {position, position, position, true};
    // From the span's end on, the text is the old text's tail, moved.
    const int32_t end = std::max(newEnd, position + removed);
    oldEnd += end - newEnd;
    newEnd = end - removed + inserted;
    start = std::min(start, position);
}

void LineTable::measureLines(const TextBuffer& text, const LineMetrics& metrics, int64_t start,
                             int64_t stopBeyond, Scan& out) {
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t perRow = metrics.columnsPerRow;
    const CellRules rules{metrics.tabWidth, perRow};
    for (;;) {
        const Measured m = MeasureLineAt(text, start, rules);
        int64_t rows = 1;
        if (perRow > 0 && m.cells > 0)
            rows = (m.cells + perRow - 1) / perRow;
        out.starts.push_back(static_cast<int32_t>(start));
        out.shapes.push_back({static_cast<int32_t>(m.end - start), Saturate32(rows),
                              Saturate32(m.cells), m.hasTab, m.hasComplex});
        out.rows += rows;
        if (m.end >= length)
            return;
        int64_t next = m.end + 1;
        if (text[m.end] == kCr && next < length && text[next] == kLf)
            ++next;
        if (next > stopBeyond)
            return;
        start = next;
    }
}

void LineTable::rebuild(const TextBuffer& text, const LineMetrics& metrics) {
    // Measure into the old tables' memory: a big text's tables are large.
    Scan all;
    all.starts.swap(starts_);
    all.shapes.swap(shapes_);
    all.starts.clear();
    all.shapes.clear();
    try {
        measureLines(text, metrics, 0, static_cast<int64_t>(text.size()), all);
        tops_.resize(all.shapes.size());
    } catch (...) {
        // The memory stays with the table, so the text it held fits again.
        starts_.swap(all.starts);
        shapes_.swap(all.shapes);
        throw;
    }
    starts_.swap(all.starts);
    shapes_.swap(all.shapes);
    rowSum_ = all.rows;
    metrics_ = metrics;
    textLength_ = static_cast<int64_t>(text.size());
    retop();
    recountWidest();
    finishTotals();
}

void LineTable::update(const TextBuffer& text, const LineMetrics& metrics,
                       const TextChange& change) {
    const int64_t length = static_cast<int64_t>(text.size());
    if (empty() || metrics != metrics_ || length != textLength_ + change.newEnd - change.oldEnd) {
        rebuild(text, metrics);
        return;
    }
    if (!change.any)
        return;
    // Lines starting before the change stay, except one right after a CR:
    // an LF arriving behind the CR joins the two into one break.
    int32_t first = lineOfPosition(change.start);
    if (first > 0 && starts_[first] == change.start && text[change.start - 1] == kCr)
        --first;
    // Lines starting beyond the old span's end stay too, moved by the
    // length difference. Those between are measured again.
    const auto beyond = std::upper_bound(starts_.begin() + first, starts_.end(), change.oldEnd);
    const auto resume = static_cast<int32_t>(beyond - starts_.begin());
    // Everything that needs memory comes first: running out of it leaves
    // the table as it was, for the caller to put the old text back.
    Scan fresh;
    measureLines(text, metrics, starts_[first], change.newEnd, fresh);
    const size_t lines = starts_.size() - static_cast<size_t>(resume - first) + fresh.starts.size();
    MakeRoom(starts_, lines);
    MakeRoom(shapes_, lines);
    MakeRoom(tops_, lines);
    std::vector<int32_t> tops(fresh.shapes.size());
    int64_t oldRows = 0;
    for (int32_t i = first; i < resume; ++i)
        oldRows += shapes_[i].rows;
    const bool topsFitBefore = TopsFit(rowSum_, metrics.lineHeight);
    rowSum_ += fresh.rows - oldRows;
    textLength_ = length;
    int64_t top = tops_[first];
    for (size_t i = 0; i < tops.size(); ++i) {
        tops[i] = Saturate32(top);
        top += int64_t{fresh.shapes[i].rows} * metrics.lineHeight;
    }
    replaceLines(first, resume, fresh, tops);
    const auto after = static_cast<int32_t>(first + fresh.starts.size());
    // Saturated row tops are no sums that a difference could move.
    const bool topsFit = topsFitBefore && TopsFit(rowSum_, metrics.lineHeight);
    shiftFrom(after, change.newEnd - change.oldEnd,
              topsFit ? static_cast<int32_t>((fresh.rows - oldRows) * metrics.lineHeight) : 0);
    if (!topsFit)
        retop();
    finishTotals();
}

int32_t LineTable::lineOfPosition(int32_t position) const {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    if (after == starts_.begin())
        return 0;
    return static_cast<int32_t>(after - starts_.begin() - 1);
}

int32_t LineTable::lineAtY(int32_t y) const {
    auto after = std::upper_bound(tops_.begin(), tops_.end(), y);
    if (after == tops_.begin())
        return 0;
    return static_cast<int32_t>(after - tops_.begin() - 1);
}

void LineTable::replaceLines(int32_t first, int32_t resume, const Scan& fresh,
                             const std::vector<int32_t>& tops) {
    for (int32_t i = first; i < resume; ++i)
        if (shapes_[i].cells == widestCells_)
            --widestCount_;
    Splice(starts_, first, resume, fresh.starts);
    Splice(shapes_, first, resume, fresh.shapes);
    Splice(tops_, first, resume, tops);
    // When the widest lines all went, the new widest may be anywhere.
    if (widestCount_ == 0)
        recountWidest();
    else
        countWidest(first, static_cast<int32_t>(first + tops.size()));
}

void LineTable::retop() {
    int64_t rowsAbove = 0;
    for (size_t i = 0; i < shapes_.size(); ++i) {
        tops_[i] = Saturate32(rowsAbove * metrics_.lineHeight);
        rowsAbove += shapes_[i].rows;
    }
}

void LineTable::shiftFrom(int32_t line, int32_t lengthDelta, int32_t topDelta) {
    for (auto it = starts_.begin() + line; it != starts_.end(); ++it)
        *it += lengthDelta;
    if (topDelta == 0)
        return;
    for (auto it = tops_.begin() + line; it != tops_.end(); ++it)
        *it += topDelta;
}

void LineTable::countWidest(int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) {
        const int32_t cells = shapes_[i].cells;
        if (cells > widestCells_) {
            widestCells_ = cells;
            widestCount_ = 1;
        } else if (cells == widestCells_) {
            ++widestCount_;
        }
    }
}

void LineTable::recountWidest() {
    widestCells_ = 0;
    widestCount_ = 0;
    countWidest(0, size());
}

void LineTable::finishTotals() {
    totalRows_ = Saturate32(rowSum_);
    maxLineWidth_ = Saturate32(int64_t{widestCells_} * metrics_.charWidth);
}
