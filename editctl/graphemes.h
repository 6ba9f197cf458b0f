// Extended grapheme clusters, what a reader takes for one character
// (Unicode Standard Annex #29): a letter with its marks, a Hangul syllable
// of jamo, a flag of two regional indicators, an emoji with its modifiers,
// variation selectors and the pictographs joined to it by ZWJ. These are
// the rules on code points; characters.h applies them to text.
#pragma once

#include "editctl/grapheme_rules.h"

GraphemeBreak GraphemeBreakOf(char32_t c);
bool IsExtendedPictographic(char32_t c);
// The Unicode version the table was made from.
const char* GraphemeBreakUnicodeVersion();

// Whether a cluster ends before `next`.
bool BreaksBefore(const ClusterState& state, char32_t next);
// The state once `next` follows.
ClusterState Advance(const ClusterState& state, char32_t next);
// Whether the rules between `before` and `next` alone decide a break, and how.
PairBreak BreakBetween(GraphemeBreak before, char32_t next);
