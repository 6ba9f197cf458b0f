// The cluster rules on the grapheme-break table's entries, inline for the
// walks along text that ask them at every code point (characters.cpp);
// graphemes.h gives the same rules on code points.
#pragma once

#include "editctl/grapheme_break_table.h"
#include "editctl/graphemes.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace grapheme_rules {

constexpr uint8_t kPictographic = 0x10;

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
                PairOf(static_cast<GraphemeBreak>(before), static_cast<GraphemeBreak>(entry & 0x0F),
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
    const auto property = static_cast<GraphemeBreak>(entry & 0x0F);
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
