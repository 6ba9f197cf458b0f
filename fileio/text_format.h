// How a document's file is laid out: its encoding, its line-break style, and
// the conversions between the file's line breaks and the in-memory CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Every form but the first two comes only from a file's signature, which
// its saves write back; the Encoding menu offers only the first two.
enum class TextEncoding : int32_t {
    Utf8 = 0,
    Ansi = 1,
    Utf16Le = 2,
    Utf16Be = 3,
    Utf32Le = 4,
    Utf32Be = 5,
    Utf8Bom = 6, // UTF-8 behind the signature EF BB BF
};

// Mixed comes only from detection on load; it is saved as Crlf.
enum class LineEnding : int32_t { Crlf = 0, Lf = 1, Cr = 2, Mixed = 3 };

// "UTF-8", "ANSI", "UTF-16 LE", "UTF-16 BE", "UTF-32 LE", "UTF-32 BE" or
// "UTF-8 BOM"; a value outside the enumeration reads as "UTF-8".
const char16_t* EncodingLabel(TextEncoding encoding);
// "Win", "Unix", "Mac" or "Mixed"; a value outside the enumeration reads as "Win".
const char16_t* LineEndingLabel(LineEnding lineEnding);

// The part after the last backslash or slash; the whole path when it has neither.
std::u16string FileNameFromPath(std::u16string_view path);

// Whether bytes[start, length) are well-formed UTF-8: every sequence is one
// the Unicode Standard allows, so no overlong form, no encoded surrogate and
// nothing above U+10FFFF. Such bytes decode without replacement and encode
// back to themselves.
bool IsWellFormedUtf8(const char* bytes, size_t length, size_t start);

// Rewrites every CR LF, lone CR and lone LF as CR LF in place and tells which
// styles the text held: one style gives that style, several give Mixed, none
// gives Crlf. The text grows by one unit per lone break, within its capacity
// when the caller reserved enough.
LineEnding NormalizeLineEndings(std::u16string& text);

// The line breaks of a text, each CR LF pair counted once.
struct LineBreakCounts {
    size_t crlf = 0;
    size_t lf = 0; // lone LFs
    size_t cr = 0; // lone CRs
};

// One style gives that style, several give Mixed, none gives Crlf.
LineEnding ClassifyLineBreaks(const LineBreakCounts& counts);

// Rewrites every CR LF, lone CR and lone LF as the break of lineEnding
// (Mixed writes CR LF).
std::u16string ConvertLineEndingsForSave(std::u16string_view text, LineEnding lineEnding);
