// The texts of the status bar's caret fields. Platform-free.
#pragma once

#include <string>

// "Ln 3, Col 7" for a 1-based line and column.
std::u16string Status_PositionText(int line, int column);

// "x0041" for the code unit at the caret; "----" at the end of the text or
// for a zero code unit.
std::u16string Status_CharCodeText(char16_t unit);

// "Loading… 42% (read-only until loaded)" for a document still loading,
// shown before its caret's position.
std::u16string Status_LoadingText(int percent);
