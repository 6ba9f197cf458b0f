// Characters as the caret and the cell grid see them: extended grapheme
// clusters (graphemes.h). A letter with its marks, CR LF, a flag, an emoji
// with its modifiers or a ZWJ sequence of pictographs is one character; a
// lone surrogate and a mark after a control stand alone. Positions are
// UTF-16 code-unit indexes, clamped to the text.
#pragma once

#include "editctl/graphemes.h"

#include <cstdint>
#include <string_view>

class TextBuffer;

// Below this no code point takes other than one cell or joins the one
// before it, and only an LF, a pictograph or a control follows a code
// point that is not plain itself: the common case is a comparison.
constexpr char16_t kFirstWideOrMark = 0x300;
// Below this no code point takes two cells.
constexpr char16_t kFirstWide = 0x1100;

// Cells a code point takes: 2 for East Asian Wide and Fullwidth, 0 for a
// combining mark (general categories Mn and Me, U+200D, U+FE00..U+FE0F),
// 1 for everything else. A comparison and no lookup below U+0300.
int CellWidth(char32_t c);
// The Unicode version the width table was made from.
const char* CellWidthUnicodeVersion();

// Whether the caret may stand at `pos`: between two characters. Both ends
// of the text are stops. Each takes a whole text as a string or as the
// document's buffer.
bool IsCharStop(std::u16string_view text, int32_t pos);
bool IsCharStop(const TextBuffer& text, int32_t pos);
// The first stop after `pos`; the text's length from there on.
int32_t NextCharStop(std::u16string_view text, int32_t pos);
int32_t NextCharStop(const TextBuffer& text, int32_t pos);
// The last stop before `pos`; 0 from the start on.
int32_t PrevCharStop(std::u16string_view text, int32_t pos);
int32_t PrevCharStop(const TextBuffer& text, int32_t pos);
// `pos` when it is a stop, else the start of the character holding it.
int32_t CharStopAtOrBefore(std::u16string_view text, int32_t pos);
int32_t CharStopAtOrBefore(const TextBuffer& text, int32_t pos);

// One character: where it ends and the cells it takes, tabs aside. The
// cells are its first code point's (1 for a mark that starts it), but 2
// for an emoji presentation sequence: a variation selector 16, a keycap, a
// flag, a skin-tone modifier or pictographs joined by ZWJ.
struct CharacterExtent {
    int32_t end = 0;
    int cells = 1;
};
// The character starting at `stop`, which must be a stop before the text's
// end: a walk forward along it, never back, so walking a line character by
// character costs its length.
CharacterExtent CharacterAt(std::u16string_view text, int32_t stop);
CharacterExtent CharacterAt(const TextBuffer& text, int32_t stop);

// Where Backspace at `pos` deletes back to. A letter with combining marks
// loses its last mark, the way a decomposed accent is taken back; any other
// character, emoji sequences and flags above all, goes whole.
int32_t BackspaceStop(const TextBuffer& text, int32_t pos);

// The state of the cluster rules at the end of `text`, after text that
// left `before`: looks back from the end only as far as the rules need.
ClusterState ClusterStateAfter(std::u16string_view text, const ClusterState& before = {});

// Whether `pos` lies between the two halves of a surrogate pair.
bool InsideSurrogatePair(std::u16string_view text, int32_t pos);
bool InsideSurrogatePair(const TextBuffer& text, int32_t pos);
// The code point at `pos` (< length): a pair decoded, any other unit as it is.
char32_t CodePointAt(std::u16string_view text, int32_t pos);
// Characters of right-to-left scripts and the bidirectional controls: drawn
// one at a time, so that no text output reorders them across their cells.
bool IsRightToLeft(char32_t c);
