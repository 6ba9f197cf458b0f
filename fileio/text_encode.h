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

// The code page the converters read and write a document's encoding with;
// only UTF-8 and ANSI need one, every other form gives the UTF-8 page.
uint32_t CodePageForEncoding(TextEncoding encoding);

// Converts the breaks of text to lineEnding's and encodes it in encoding,
// with the signature of the forms that have one, handing sink the bytes of
// each stretch of at most stretchUnits (at least 2) units. False when the
// converter fails, the bytes would pass the 2 GiB limit (tooLarge, when
// given, then says so), or sink refuses.
bool EncodePieces(TextPieces text, TextEncoding encoding, LineEnding lineEnding,
                  size_t stretchUnits, const ByteSink& sink, bool* tooLarge = nullptr);

// Whether encoding text would replace characters: those the ANSI code page
// lacks, or unpaired surrogates, which no UTF-8 sequence stands for.
bool PiecesLoseCharacters(TextPieces text, TextEncoding encoding, size_t stretchUnits);
