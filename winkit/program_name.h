// The program's name wherever the user meets it: window titles, the caption
// of its questions and notices, the About box and its registry key. Kept as
// a literal so that it joins literals of any width ("About " TESSARY_NAME).
#pragma once

#define TESSARY_NAME "Tessary"

inline constexpr wchar_t kProgramName[] = L"" TESSARY_NAME;
