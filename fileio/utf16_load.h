// Loading a UTF-16 file straight into its final string, without the whole
// file in memory: a first pass counts the units and the lone line breaks of
// the bytes behind the signature, so that the text is reserved once with
// room for every lone break to become CR LF; a second copies the units in
// and widens the breaks within that room.
#pragma once

#include "fileio/byte_source.h"
#include "fileio/text_format.h"

#include <cstddef>
#include <string>

enum class Utf16Load {
    Loaded,   // text holds the units after the signature with CR LF breaks
    NotUtf16, // the bytes start with no UTF-16 signature, or with a UTF-32 one
    TooLong,  // the text would be longer than a document can be
    Failed,   // a read failed, or the bytes changed between the passes
};

// Reads source from where it stands, in pieces of about pieceBytes, then
// again from the start. Units pass as they are, lone surrogates included;
// an odd final byte becomes U+FFFD and sets replaced. The text gets spare
// room of about a sixty-fourth of its length, as a UTF-8 load leaves it.
Utf16Load LoadUtf16(ByteSource& source, size_t pieceBytes, std::u16string& text,
                    TextEncoding& encoding, LineEnding& lineEnding, bool& replaced);
