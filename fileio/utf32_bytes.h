// UTF-32 file bytes in either byte order, to text and back. A value that
// UTF-16 can hold comes back as it was, lone surrogates included; the rest
// cannot, and decoding reports them.
#pragma once

#include <string>
#include <string_view>

// Appends the characters of bytes to text. A value above U+10FFFF, a low
// surrogate right after a high one (the two would read back as one
// character), and 1 to 3 bytes left at the end, which no value can hold,
// each become U+FFFD; returns whether any did.
bool AppendUtf32Units(std::string_view bytes, bool bigEndian, std::u16string& text);

// Appends the bytes of text's characters to bytes: a surrogate pair as the
// one value it stands for, any other unit as its own value.
void AppendUtf32Bytes(std::u16string_view text, bool bigEndian, std::string& bytes);
