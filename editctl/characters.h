// Characters as the caret and the cell grid see them. A surrogate pair, CR
// LF, and a character with the combining marks that follow it are each one
// character; a lone surrogate is a character of its own. Positions are
// UTF-16 code-unit indexes, clamped to the text.
#pragma once

#include <cstdint>
#include <string_view>

class TextBuffer;

// Cells a code point takes: 2 for East Asian Wide and Fullwidth, 0 for a
// combining mark (general categories Mn and Me, U+200D, U+FE00..U+FE0F),
// 1 for everything else. A comparison and no lookup below U+0300.
int CellWidth(char32_t c);
// The Unicode version the width table was made from.
const char* CellWidthUnicodeVersion();

// Whether the caret may stand at `pos`: not inside a surrogate pair or a
// CR LF pair, and not between a character and a mark it carries. A mark
// after a control character (a line break, a tab) or a lone surrogate
// starts a character itself. Both ends of the text are stops.
// Each takes a whole text as a string or as the document's buffer.
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

// Whether `pos` lies between the two halves of a surrogate pair.
bool InsideSurrogatePair(std::u16string_view text, int32_t pos);
bool InsideSurrogatePair(const TextBuffer& text, int32_t pos);
// The code point at `pos` (< length): a pair decoded, any other unit as it is.
char32_t CodePointAt(std::u16string_view text, int32_t pos);
// Cells of the character starting at `pos` (< length), tabs aside: its
// first code point's width, but 1 for a mark that starts a character.
int CharacterCells(std::u16string_view text, int32_t pos);
// Characters of right-to-left scripts and the bidirectional controls: drawn
// one at a time, so that no text output reorders them across their cells.
bool IsRightToLeft(char32_t c);
