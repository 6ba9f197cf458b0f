// Conversion between bytes in a code page and UTF-16: the system's
// converters on Windows, a UTF-8 decoder and Windows-1252 elsewhere.
//
// Results never exceed a signed 32-bit length (the largest text and file the
// program handles); a conversion that would is a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t kCodePageUtf8 = 65001;
constexpr uint32_t kCodePageAnsi = 0; // the system's active ANSI code page

// Decodes bytes, replacing whatever cannot be decoded (ill-formed UTF-8
// becomes U+FFFD). The text gets room for spareUnits more units, so that a
// caller can grow it without moving it. False only when the converter fails
// or the text would be too long; text is then unspecified.
bool DecodeFromCodePage(uint32_t codePage, std::string_view bytes, std::u16string& text,
                        size_t spareUnits = 0);

// Whether DecodeFromCodePage would replace some of bytes: they hold a
// sequence the code page does not define, and a save cannot give them back.
bool DecodingReplacesBytes(uint32_t codePage, std::string_view bytes);

// Encodes text, replacing what the code page cannot represent (with its
// default character, no best-fit look-alikes) and setting `replaced` when it
// did. UTF-8 never reports a replacement, but writes each unpaired surrogate
// as U+FFFD. False when the converter fails or the bytes would be too many.
bool EncodeToCodePage(uint32_t codePage, std::u16string_view text, std::string& bytes,
                      bool& replaced);

// The byte count and replacement flag EncodeToCodePage would give, without
// producing the bytes.
bool MeasureEncoding(uint32_t codePage, std::u16string_view text, size_t& size, bool& replaced);

// The platform's half of EncodeToCodePage: writes the `size` bytes that
// MeasureEncoding counted (at least one) into `out`. False when the
// converter fails.
bool EncodeMeasured(uint32_t codePage, std::u16string_view text, char* out, size_t size);
