// How many lines have each width in cells, so that the widest line is
// known again at once when an edit narrows it, without a walk over every
// line: in a text of many equal lines every one of them is the widest.
// Narrow widths are counted in place, wider ones by width in a tree: a text
// under 2^31 units has few distinct wide widths, however many wide lines.
#pragma once

#include <array>
#include <cstdint>
#include <map>

class WidthCounts {
  public:
    void clear();
    // Room to add the lines `more` counts: after it, adding them cannot run
    // out of memory.
    void makeRoom(const WidthCounts& more);
    // A line of this width came; without room made for it, may throw.
    void add(int64_t cells);
    // The lines `more` counts came; without room made for them, may throw.
    void add(const WidthCounts& more);
    // A line of this width, counted before, went.
    void remove(int64_t cells);
    int64_t widest() const { return widest_; }
    // The lines counted at exactly this width.
    uint32_t linesAt(int64_t cells) const;
    // The lines counted at this width or wider.
    uint64_t linesFrom(int64_t cells) const;

    // Widths below this are counted in place: adding one needs no memory.
    static constexpr int64_t kNarrow = 1024;

  private:
    void findWidest(int64_t below);

    std::array<uint32_t, kNarrow> narrow_{}; // lines by width below kNarrow
    // Lines by wider width; a width given room that no line took counts none.
    std::map<int64_t, uint32_t> wide_;
    int64_t widest_ = 0;
};
