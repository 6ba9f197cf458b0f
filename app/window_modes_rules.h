// What the small commands decide without a window: the point size a font
// dialog's answer gives, and the text of the About box.
#pragma once

#include "tessary_version.h"

#include <cstdint>
#include <optional>
#include <string>

// The product version the About box shows when the version block has none.
inline constexpr char16_t kFallbackVersion[] = u"" TESSARY_VERSION_TEXT;

// The whole points of a font dialog's size given in tenths (truncated), or
// nothing when they lie outside 6..200.
std::optional<int32_t> ChosenFontSize(int32_t tenths);

// The About box's text for the version found in the program's version block;
// an empty version gives the fallback.
std::u16string AboutText(const std::u16string& version);
