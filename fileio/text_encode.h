// Encoding a text that lies in several pieces, such as the two halves of an
// edit control's text, stretch by stretch without joining it: no stretch
// splits a CR LF pair or a surrogate pair, so the bytes are those of the
// whole text converted at once.
#pragma once

#include "fileio/file_bytes.h"
#include "fileio/text_format.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

using TextPieces = std::span<const std::u16string_view>;

// Converts the breaks of text to lineEnding's and encodes it in codePage
// (the UTF-16 forms with their signature), handing sink the bytes of each
// stretch of at most stretchUnits (at least 2) units. False when the
// converter fails, the bytes would pass the 2 GiB limit, or sink refuses.
bool EncodePieces(TextPieces text, uint32_t codePage, LineEnding lineEnding, size_t stretchUnits,
                  const ByteSink& sink);

// Whether encoding text in codePage would replace characters the page lacks.
bool PiecesLoseCharacters(TextPieces text, uint32_t codePage, size_t stretchUnits);
