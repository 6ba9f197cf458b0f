// The generated grapheme-break table: blocks of 256 code points, one byte
// each (the GraphemeBreak value in the low four bits, Extended_Pictographic
// in bit 4); identical blocks are stored once. tools/make_grapheme_breaks.py
// writes grapheme_break_table.cpp from the Unicode Character Database.
#pragma once

#include <cstdint>

extern const char kGraphemeBreakUnicodeVersion[];
extern const uint8_t kGraphemeBreakBlockOf[0x110000 / 256];
extern const uint8_t kGraphemeBreakBlocks[][256];
