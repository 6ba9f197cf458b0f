// The start of a large file, shown while the whole of it loads.
#pragma once

#include "fileio/text_format.h"

#include <cstddef>
#include <string>
#include <string_view>

// Decodes the first bytes of a longer file up to the end of their last
// whole line (all of them when they hold no break, less a character cut
// in two): the text a load of the whole file starts with, in the form
// these bytes imply. The whole file may turn out to be in another form
// (bytes further on that are not UTF-8); its load then tells. False when
// the bytes cannot be decoded.
bool DecodeTextStart(std::string_view firstBytes, std::u16string& text, TextEncoding& encoding,
                     LineEnding& lineEnding);
// Reads up to `bytes` bytes from the start of the file and decodes them so;
// false when the file cannot be read or decoded.
bool ReadTextStart(const std::u16string& path, size_t bytes, std::u16string& text,
                   TextEncoding& encoding, LineEnding& lineEnding);
