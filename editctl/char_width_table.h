// The generated cell-width table: blocks of 256 code points, 2 bits each
// (0: one cell, 1: no cell, 2: two cells); identical blocks are stored once.
// tools/make_char_widths.py writes char_width_table.cpp from the Unicode
// Character Database.
#pragma once

#include <cstdint>

extern const char kCellWidthUnicodeVersion[];
extern const uint8_t kCellWidthBlockOf[0x110000 / 256];
extern const uint8_t kCellWidthBlocks[][256 / 4];
