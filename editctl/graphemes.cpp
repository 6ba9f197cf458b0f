#include "editctl/graphemes.h"

#include "editctl/grapheme_break_table.h"

namespace {

constexpr uint8_t kPictographic = 0x10;

uint8_t Entry(char32_t c) {
    if (c >= 0x110000)
        return 0;
    return kGraphemeBreakBlocks[kGraphemeBreakBlockOf[c >> 8]][c & 0xFF];
}

} // namespace

GraphemeBreak GraphemeBreakOf(char32_t c) {
    return static_cast<GraphemeBreak>(Entry(c) & 0x0F);
}

bool IsExtendedPictographic(char32_t c) {
    return (Entry(c) & kPictographic) != 0;
}

const char* GraphemeBreakUnicodeVersion() {
    return kGraphemeBreakUnicodeVersion;
}

PairBreak BreakBetween(GraphemeBreak before, GraphemeBreak after, bool afterIsPictograph) {
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

bool BreaksBefore(const ClusterState& state, char32_t next) {
    const uint8_t entry = Entry(next);
    const auto after = static_cast<GraphemeBreak>(entry & 0x0F);
    const PairBreak pair = BreakBetween(state.last, after, (entry & kPictographic) != 0);
    if (pair != PairBreak::LookBack)
        return pair == PairBreak::Break;
    // A pictograph joins through a ZWJ only one that ended a pictograph's
    // cluster; regional indicators pair off from the first of a run.
    return state.last == GraphemeBreak::ZWJ ? !state.joinsPictograph : !state.oddRegional;
}

ClusterState Advance(const ClusterState& state, char32_t next) {
    const uint8_t entry = Entry(next);
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
