// Loading a UTF-8 file straight into its final string, without the whole
// file in memory. When the source tells its size, one pass decodes the
// bytes into room reserved from it; otherwise, or when the text outgrows
// that room, a first pass checks that the bytes are well formed and counts
// the units and line breaks of the text they make, and a second decodes
// them into a string reserved once at that length.
#pragma once

#include "fileio/byte_source.h"
#include "fileio/text_format.h"

#include <cstddef>
#include <functional>
#include <string>

enum class Utf8Load {
    Loaded,  // text holds the bytes after an optional EF BB BF with CR LF breaks
    NotUtf8, // the bytes are not well-formed UTF-8, or start with a UTF-16 signature
    Changed, // a second pass read other bytes than the first: the file was written meanwhile
    TooLong, // the text would be longer than a document can be
    Failed,  // a read failed
};

// Hears, on the loading thread, after each piece decoded, that units
// [0, written) at `units` are final, of about the `total` the text will
// have; the units do not move until the load returns. Told once with
// nullptr when a pass fails after it began to decode: the watch must have
// stopped reading the units before it returns, as the text may then be
// written anew, and may be told of them afresh by another pass.
using DecodeWatch = std::function<void(const char16_t* units, size_t written, size_t total)>;

// Reads source in pieces of about pieceBytes (at least 8). The text gets
// spare room of about a sixty-fourth of its length, so that it can grow a
// little without moving. encoding tells whether the bytes had a signature
// (Utf8Bom) or not (Utf8).
Utf8Load LoadUtf8(ByteSource& source, size_t pieceBytes, std::u16string& text,
                  TextEncoding& encoding, LineEnding& lineEnding,
                  const DecodeWatch* watch = nullptr);
