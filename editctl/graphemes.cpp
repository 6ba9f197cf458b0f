#include "editctl/graphemes.h"

#include "editctl/grapheme_rules.h"

using namespace grapheme_rules;

GraphemeBreak GraphemeBreakOf(char32_t c) {
    return PropertyOf(Entry(c));
}

bool IsExtendedPictographic(char32_t c) {
    return (Entry(c) & kPictographic) != 0;
}

const char* GraphemeBreakUnicodeVersion() {
    return kGraphemeBreakUnicodeVersion;
}

PairBreak BreakBetween(GraphemeBreak before, char32_t next) {
    return PairFor(before, Entry(next));
}

bool BreaksBefore(const ClusterState& state, char32_t next) {
    return Breaks(state, Entry(next));
}

ClusterState Advance(const ClusterState& state, char32_t next) {
    return AdvanceBy(state, Entry(next));
}
