// UTF-16 file bytes in either byte order, to text and back, unit for unit.
// Lone surrogates pass both ways, so a text is written back as it was read.
#pragma once

#include <string>
#include <string_view>

// Appends the units of bytes to text. An odd final byte, which no unit can
// hold, becomes U+FFFD; returns whether it did.
bool AppendUtf16Units(std::string_view bytes, bool bigEndian, std::u16string& text);

// Appends the bytes of text's units to bytes.
void AppendUtf16Bytes(std::u16string_view text, bool bigEndian, std::string& bytes);
