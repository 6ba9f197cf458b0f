// The Grapheme_Cluster_Break property, the state the cluster rules carry
// along text, and the rules themselves on the grapheme-break table's
// entries, inline for the walks along text that ask them at every code
// point (characters.cpp, the line measure); graphemes.h gives the same
// rules on code points.
#pragma once

#include "editctl/grapheme_break_table.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The Grapheme_Cluster_Break property. A surrogate code point, which in
// UTF-16 text is a lone half of a pair, counts as a control.
enum class GraphemeBreak : uint8_t {
    Other,
    CR,
    LF,
    Control,
    Extend,
    ZWJ,
    RegionalIndicator,
    Prepend,
    SpacingMark,
    L,
    V,
    T,
    LV,
    LVT,
};

// What the code points so far tell about a break before the next one: the
// last one's property and the two sequences that rules look back along.
// The default is the text's start, before which nothing joins.
struct ClusterState {
    GraphemeBreak last = GraphemeBreak::Control;
    bool pictographic = false;    // the text ends in a pictograph and Extend marks
    bool joinsPictograph = false; // ... and then a ZWJ, which joins a pictograph after it
    bool oddRegional = false;     // the text ends in an odd run of regional indicators
};

// How the rules between two code points alone decide a break; the rules
// that look further back (a ZWJ before a pictograph, a regional indicator
// after another) are left undecided.
enum class PairBreak { Break, Join, LookBack };

namespace grapheme_rules {

constexpr uint8_t kPictographic = 0x10;

// The property a table entry holds beside the pictograph bit.
constexpr GraphemeBreak PropertyOf(uint8_t entry) {
    return static_cast<GraphemeBreak>(entry & 0x0F);
}

inline uint8_t Entry(char32_t c) {
    if (c >= 0x110000)
        return 0;
    return kGraphemeBreakBlocks[kGraphemeBreakBlockOf[c >> 8]][c & 0xFF];
}

constexpr PairBreak PairOf(GraphemeBreak before, GraphemeBreak after, bool afterIsPictograph) {
    using enum GraphemeBreak;
    if (before == CR && after == LF)
        return PairBreak::Join;
    if (before == CR || before == LF || before == Control || after == CR || after == LF ||
        after == Control)
        return PairBreak::Break;
    switch (before) {
    case L:
        if (after == L || after == V || after == LV || after == LVT)
            return PairBreak::Join;
        break;
    case LV:
    case V:
        if (after == V || after == T)
            return PairBreak::Join;
        break;
    case LVT:
    case T:
        if (after == T)
            return PairBreak::Join;
        break;
    default:
        break;
    }
    if (after == Extend || after == ZWJ || after == SpacingMark || before == Prepend)
        return PairBreak::Join;
    if ((before == ZWJ && afterIsPictograph) ||
        (before == RegionalIndicator && after == RegionalIndicator))
        return PairBreak::LookBack;
    return PairBreak::Break;
}

constexpr int kProperties = static_cast<int>(GraphemeBreak::LVT) + 1;
constexpr int kEntries = 0x20;

// PairOf for every property before and table entry after: walks along text
// ask it for every code point.
inline constexpr auto kPairs = [] {
    std::array<std::array<PairBreak, kEntries>, kProperties> pairs{};
    for (int before = 0; before < kProperties; ++before)
        for (int entry = 0; entry < kEntries; ++entry)
            pairs[before][entry] =
                PairOf(static_cast<GraphemeBreak>(before), PropertyOf(static_cast<uint8_t>(entry)),
                       (entry & kPictographic) != 0);
    return pairs;
}();

inline PairBreak PairFor(GraphemeBreak before, uint8_t entry) {
    return kPairs[static_cast<std::size_t>(before)][entry];
}

inline bool Breaks(const ClusterState& state, uint8_t entry) {
    const PairBreak pair = PairFor(state.last, entry);
    if (pair != PairBreak::LookBack)
        return pair == PairBreak::Break;
    // A pictograph joins through a ZWJ only one that ended a pictograph's
    // cluster; regional indicators pair off from the first of a run.
    return state.last == GraphemeBreak::ZWJ ? !state.joinsPictograph : !state.oddRegional;
}

inline ClusterState AdvanceBy(const ClusterState& state, uint8_t entry) {
    const GraphemeBreak property = PropertyOf(entry);
    ClusterState after;
    after.last = property;
    after.pictographic =
        (entry & kPictographic) != 0 || (property == GraphemeBreak::Extend && state.pictographic);
    after.joinsPictograph = property == GraphemeBreak::ZWJ && state.pictographic;
    after.oddRegional = property == GraphemeBreak::RegionalIndicator &&
                        !(state.last == GraphemeBreak::RegionalIndicator && state.oddRegional);
    return after;
}

} // namespace grapheme_rules
