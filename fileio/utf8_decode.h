// Decoding UTF-8 straight into a text whose line breaks are CR LF, a piece
// at a time, without a converted copy in between.
#pragma once

#include "fileio/text_format.h"

#include <cstddef>
#include <string_view>

// What decoding carries from one piece to the next: the breaks met so far,
// and whether the last byte was a CR, so that an LF opening the next piece
// makes a CR LF pair with it rather than a lone LF.
struct Utf8Decoding {
    LineBreakCounts counts;
    bool afterCr = false;
};

// Decodes bytes into out[0, room) with every CR LF, lone CR and lone LF
// written as CR LF, adding the breaks to decoding.counts: the units and counts
// of decoding all pieces whole and then widening every break. Every sequence is
// checked as it is decoded, so bytes that are not well-formed UTF-8 ending
// at a character boundary, or that need more than room units, give false
// (out is then partly written) and nothing is read or written outside the
// two ranges.
bool DecodeUtf8Normalized(std::string_view bytes, char16_t* out, size_t room, size_t& written,
                          Utf8Decoding& decoding);
