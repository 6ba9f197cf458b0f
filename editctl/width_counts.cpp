#include "editctl/width_counts.h"

#include <algorithm>
#include <cstddef>

void WidthCounts::clear() {
    narrow_.fill(0);
    wide_.clear();
    widest_ = 0;
}

void WidthCounts::makeRoom(const WidthCounts& more) {
    for (const auto& [cells, lines] : more.wide_)
        wide_.try_emplace(cells, 0);
}

void WidthCounts::add(int64_t cells) {
    if (cells < kNarrow)
        ++narrow_[static_cast<size_t>(cells)];
    else
        ++wide_[cells];
    widest_ = std::max(widest_, cells);
}

void WidthCounts::add(const WidthCounts& more) {
    for (size_t cells = 0; cells < narrow_.size(); ++cells)
        narrow_[cells] += more.narrow_[cells];
    for (const auto& [cells, lines] : more.wide_)
        wide_[cells] += lines;
    widest_ = std::max(widest_, more.widest_);
}

uint64_t WidthCounts::linesFrom(int64_t cells) const {
    uint64_t lines = 0;
    for (int64_t narrow = std::max<int64_t>(cells, 0); narrow < kNarrow; ++narrow)
        lines += narrow_[static_cast<size_t>(narrow)];
    for (auto at = wide_.lower_bound(cells); at != wide_.end(); ++at)
        lines += at->second;
    return lines;
}

uint32_t WidthCounts::linesAt(int64_t cells) const {
    if (cells < kNarrow)
        return narrow_[static_cast<size_t>(cells)];
    const auto at = wide_.find(cells);
    return at == wide_.end() ? 0 : at->second;
}

void WidthCounts::remove(int64_t cells) {
    uint32_t left = 0;
    if (cells < kNarrow) {
        left = --narrow_[static_cast<size_t>(cells)];
    } else {
        const auto at = wide_.find(cells);
        left = --at->second;
        if (left == 0)
            wide_.erase(at);
    }
    if (cells == widest_ && left == 0)
        findWidest(cells);
}

void WidthCounts::findWidest(int64_t below) {
    // Widths given room that no line then took count none and are passed over.
    for (auto at = wide_.lower_bound(below); at != wide_.begin();) {
        --at;
        if (at->second > 0) {
            widest_ = at->first;
            return;
        }
    }
    int64_t cells = std::min(below, kNarrow) - 1;
    while (cells > 0 && narrow_[static_cast<size_t>(cells)] == 0)
        --cells;
    widest_ = std::max<int64_t>(cells, 0);
}
