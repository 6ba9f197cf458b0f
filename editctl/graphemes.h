// Extended grapheme clusters, what a reader takes for one character
// (Unicode Standard Annex #29): a letter with its marks, a Hangul syllable
// of jamo, a flag of two regional indicators, an emoji with its modifiers,
// variation selectors and the pictographs joined to it by ZWJ. These are
// the rules on code points; characters.h applies them to text.
#pragma once

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

GraphemeBreak GraphemeBreakOf(char32_t c);
bool IsExtendedPictographic(char32_t c);
// The Unicode version the table was made from.
const char* GraphemeBreakUnicodeVersion();

// What the code points so far tell about a break before the next one: the
// last one's property and the two sequences that rules look back along.
// The default is the text's start, before which nothing joins.
struct ClusterState {
    GraphemeBreak last = GraphemeBreak::Control;
    bool pictographic = false;    // the text ends in a pictograph and Extend marks
    bool joinsPictograph = false; // ... and then a ZWJ, which joins a pictograph after it
    bool oddRegional = false;     // the text ends in an odd run of regional indicators
};

// Whether a cluster ends before `next`.
bool BreaksBefore(const ClusterState& state, char32_t next);
// The state once `next` follows.
ClusterState Advance(const ClusterState& state, char32_t next);
// Whether the rules between `before` and `next` alone decide a break, and
// how; the rules that look further back (a ZWJ before a pictograph, a
// regional indicator after another) are left undecided.
enum class PairBreak { Break, Join, LookBack };
PairBreak BreakBetween(GraphemeBreak before, char32_t next);
