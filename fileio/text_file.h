// Loading a file into a document's text and saving the text back.
//
// Loaded text is UTF-16 with every line break as CR LF and no signature. A
// file is UTF-8 when its bytes after an optional EF BB BF signature pass
// IsLikelyUtf8, otherwise it is decoded from the system's ANSI code page,
// signature bytes included. Saving converts the breaks to the document's
// style and writes the encoded text without a signature.
//
// Files and texts are limited to what a signed 32-bit position can index;
// anything larger, like running out of memory, makes the load or save fail
// rather than truncate.
#pragma once

#include "fileio/text_format.h"

#include <cstdint>
#include <string>
#include <string_view>

// The code page a document's encoding is read and written with.
uint32_t CodePageForEncoding(TextEncoding encoding);

// Bytes of a whole file to normalised text; false when the bytes cannot be
// decoded or the text would be too long.
bool DecodeText(std::string_view bytes, std::u16string& text, TextEncoding& encoding,
                LineEnding& lineEnding);
// Text to the bytes of a file in codePage with lineEnding's breaks.
bool EncodeText(const std::u16string& text, uint32_t codePage, LineEnding lineEnding,
                std::string& bytes);

// On failure the outputs are unspecified.
bool ReadTextFile(const std::u16string& path, std::u16string& text, TextEncoding& encoding,
                  LineEnding& lineEnding);
// Writes safely (see WriteFileBytesSafely): a failed save leaves the file as
// it was, or names in keptBackup the backup that holds its old bytes.
bool WriteTextFile(const std::u16string& text, const std::u16string& path, uint32_t codePage,
                   LineEnding lineEnding, std::u16string* keptBackup = nullptr);
// Whether saving text with codePage would replace characters the page lacks,
// so that the user can be asked before anything is written.
bool EncodingLosesCharacters(const std::u16string& text, uint32_t codePage);
