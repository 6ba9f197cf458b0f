// Characters as the user sees them: where the caret may stop between code
// units and how many cells a character takes on the grid.
#pragma once

#include <cstdint>
#include <string_view>

// The next caret stop after `pos` (clamped to the text), or the text's length.
int32_t NextCharStop(std::u16string_view text, int32_t pos);
// The caret stop before `pos` (clamped to the text), or 0.
int32_t PrevCharStop(std::u16string_view text, int32_t pos);
// Whether the caret may stop at `pos`: never inside a surrogate pair or
// between a base and its combining marks. 0 and the length always are.
bool IsCharStop(std::u16string_view text, int32_t pos);
// Cells the character takes on the grid.
int CellWidth(char32_t c);
