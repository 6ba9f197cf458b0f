// Loading a file into a document's text and saving the text back.
//
// Loaded text is UTF-16 with every line break as CR LF and no signature. A
// file that starts with FF FE 00 00 or 00 00 FE FF is UTF-32, one that
// starts with FF FE or FE FF UTF-16, in that byte order. Else it is UTF-8
// when its bytes after an optional EF BB BF signature pass
// IsWellFormedUtf8 (Utf8Bom when the signature is there), otherwise it is
// decoded from the system's ANSI code page, signature bytes included.
// Saving converts the breaks to the document's style and writes the encoded
// text, with the signature of the forms that have one.
//
// Files and texts are limited to what a signed 32-bit position can index;
// anything larger, like running out of memory, makes the load or save fail
// rather than truncate. A path whose name Windows keeps for a device is
// neither read nor written.
#pragma once

#include "fileio/byte_source.h"
#include "fileio/file_bytes.h"
#include "fileio/file_failure.h"
#include "fileio/file_identity.h"
#include "fileio/text_encode.h"
#include "fileio/text_format.h"
#include "fileio/utf8_load.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Bytes of a whole file to normalised text; false when the bytes cannot be
// decoded or the text would be too long. replacedBytes, when given, tells
// whether decoding had to replace bytes it could not read, which a save
// will not give back.
bool DecodeText(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                LineEnding& lineEnding, bool* replacedBytes = nullptr);
// Text to the bytes of a file in encoding with lineEnding's breaks.
bool EncodeText(const std::u16string& text, TextEncoding encoding, LineEnding lineEnding,
                std::string& bytes);

// Loads the bytes source gives, as ReadTextFile does a file's. A UTF-8 text
// is read twice, the second time decoding straight into its final place;
// should the bytes change between the two (a file still being written),
// they are read once more whole and decoded from memory.
bool ReadText(ByteSource& source, std::u16string& text, TextEncoding& encoding,
              LineEnding& lineEnding, bool* replacedBytes = nullptr);
// Hears of a load as it goes, on the loading thread.
struct ReadWatch {
    // Told before each piece is read how many bytes the load has read so
    // far, over all its passes; false stops the load, which then fails.
    std::function<bool(uint64_t bytesRead)> read;
    // When given, told of the text as a UTF-8 file is decoded into it (see
    // DecodeWatch).
    DecodeWatch decoded;
};
// Reads the file in pieces, decoding straight into the text's final place.
// On failure the outputs are unspecified, and failure (when given) says
// why. identity, when given, receives the identity of the bytes read (see
// IdentityAfterTransfer). watch, when given, hears of the load's progress
// and may stop it.
bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding, bool* replacedBytes = nullptr,
                  FileIdentity* identity = nullptr, FileFailure* failure = nullptr,
                  const ReadWatch* watch = nullptr);
// Writes safely (see WriteFileBytesSafely): a failed save leaves the file as
// it was, or names in safety->keptBackup the backup that holds its old
// bytes, and safety->failure says why it failed. The text may lie in pieces;
// it is encoded while it is written, a stretch at a time, so that no
// converted copy of the whole text is made. identity, when given, receives
// the identity of the bytes written.
bool WriteTextFile(TextPieces text, const std::u16string& path, TextEncoding encoding,
                   LineEnding lineEnding, SaveSafety* safety = nullptr,
                   FileIdentity* identity = nullptr);
bool WriteTextFile(const std::u16string& text, const std::u16string& path, TextEncoding encoding,
                   LineEnding lineEnding, SaveSafety* safety = nullptr,
                   FileIdentity* identity = nullptr);
// Whether saving text in encoding would replace characters it cannot hold
// (see PiecesLoseCharacters), so that the user can be asked before anything
// is written.
bool EncodingLosesCharacters(TextPieces text, TextEncoding encoding);
bool EncodingLosesCharacters(const std::u16string& text, TextEncoding encoding);
