#include "fileio/text_format.h"
#include "fileio/byte_scan.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <cstring>

namespace {

// The well-formed UTF-8 test restated per byte, so that it needs no
// sequential scan. A byte must be a continuation (10xxxxxx) exactly when one
// of the three bytes before it is a lead whose sequence reaches it. C0 and C1
// only start overlong forms and F5-FF only values above U+10FFFF. Four leads
// narrow the range of the byte after them: E0 and F0 against overlong forms,
// ED against surrogates, F4 against values above U+10FFFF. Bytes outside the
// tested range count as ASCII. Works on bytes rather than bools so that both
// compilers vectorise it.
uint8_t SequenceBroken(uint8_t b, uint8_t before1, uint8_t before2, uint8_t before3) {
    const uint8_t claimed = (before1 >= 0xC0) | (before2 >= 0xE0) | (before3 >= 0xF0);
    const uint8_t continuation = (b & 0xC0) == 0x80;
    const uint8_t badLead = (b == 0xC0) | (b == 0xC1) | (b >= 0xF5);
    const uint8_t badSecond = ((before1 == 0xE0) & (b < 0xA0)) | ((before1 == 0xED) & (b > 0x9F)) |
                              ((before1 == 0xF0) & (b < 0x90)) | ((before1 == 0xF4) & (b > 0x8F));
    return (claimed ^ continuation) | badLead | badSecond;
}

bool IsBreakUnit(char16_t c) {
    return c == kCr || c == kLf;
}

LineBreakCounts CountBreaks(std::u16string_view text) {
    const BreakTally tally = TallyBreaks(text.data(), text.size());
    return {tally.pairs, tally.lf - tally.pairs, tally.cr - tally.pairs};
}

// Index of the first CR or LF in t[i, n), or n.
size_t FindBreak(const char16_t* t, size_t i, size_t n) {
    while (n - i >= 8 && !AnyBreakInEight(t + i))
        i += 8;
    while (i < n && !IsBreakUnit(t[i]))
        ++i;
    return i;
}

// Walks text break by break: `run` gets each stretch between breaks (as a
// pointer and a length), `lineBreak` each break as CR LF, LF or CR.
template <typename Run, typename Break>
void ForEachLine(std::u16string_view text, Run run, Break lineBreak) {
    const char16_t* t = text.data();
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const size_t at = FindBreak(t, i, n);
        run(t + i, at - i);
        if (at == n)
            break;
        if (t[at] == kCr && at + 1 < n && t[at + 1] == kLf) {
            lineBreak(LineEnding::Crlf);
            i = at + 2;
        } else {
            lineBreak(t[at] == kCr ? LineEnding::Cr : LineEnding::Lf);
            i = at + 1;
        }
    }
}

// Widens every lone CR and LF of text[0, used) to CR LF, working from the end
// so that the text moves up into text[0, size) without a second buffer. Once
// the gap between the read and write positions closes, the rest is in place.
void WidenLoneBreaksInPlace(std::u16string& text, size_t used) {
    char16_t* t = text.data();
    size_t i = used;
    size_t j = text.size();
    while (j > i && i > 0) {
        if (i >= 8 && !AnyBreakInEight(t + i - 8)) {
            std::memmove(t + j - 8, t + i - 8, 8 * sizeof(char16_t));
            i -= 8;
            j -= 8;
            continue;
        }
        const char16_t c = t[--i];
        if (!IsBreakUnit(c)) {
            t[--j] = c;
            continue;
        }
        if (c == kLf && i > 0 && t[i - 1] == kCr)
            --i;
        t[--j] = kLf;
        t[--j] = kCr;
    }
}

} // namespace

const char16_t* EncodingLabel(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Ansi:
        return u"ANSI";
    case TextEncoding::Utf16Le:
        return u"UTF-16 LE";
    case TextEncoding::Utf16Be:
        return u"UTF-16 BE";
    case TextEncoding::Utf32Le:
        return u"UTF-32 LE";
    case TextEncoding::Utf32Be:
        return u"UTF-32 BE";
    case TextEncoding::Utf8Bom:
        return u"UTF-8 BOM";
    default:
        return u"UTF-8";
    }
}

const char16_t* LineEndingLabel(LineEnding lineEnding) {
    switch (lineEnding) {
    case LineEnding::Lf:
        return u"Unix";
    case LineEnding::Cr:
        return u"Mac";
    case LineEnding::Mixed:
        return u"Mixed";
    default:
        return u"Win";
    }
}

std::u16string FileNameFromPath(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    if (slash == std::u16string_view::npos)
        return std::u16string(path);
    return std::u16string(path.substr(slash + 1));
}

bool IsWellFormedUtf8(const char* bytes, size_t length, size_t start) {
    if (start >= length)
        return true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes) + start;
    const size_t n = length - start;
    // Byte j, or 0 past either end; j may be "negative" (wrapped).
    auto at = [&](size_t j) -> uint8_t { return j < n ? p[j] : 0; };
    // The first three bytes and three virtual ones past the end (so that a
    // sequence running past the end is caught) look outside the range.
    for (size_t j : {size_t{0}, size_t{1}, size_t{2}, n, n + 1, n + 2}) {
        if (SequenceBroken(at(j), at(j - 1), at(j - 2), at(j - 3)))
            return false;
    }
    // The rest in blocks without a branch inside, which the compiler vectorises.
    constexpr size_t kBlock = 4096;
    for (size_t j = 3; j < n;) {
        const size_t end = std::min(n, j + kBlock);
        uint8_t broken = 0;
        for (; j < end; ++j)
            broken |= SequenceBroken(p[j], p[j - 1], p[j - 2], p[j - 3]);
        if (broken)
            return false;
    }
    return true;
}

LineEnding ClassifyLineBreaks(const LineBreakCounts& counts) {
    const int kinds = (counts.crlf != 0) + (counts.lf != 0) + (counts.cr != 0);
    if (kinds > 1)
        return LineEnding::Mixed;
    if (counts.lf != 0)
        return LineEnding::Lf;
    if (counts.cr != 0)
        return LineEnding::Cr;
    return LineEnding::Crlf;
}

LineEnding NormalizeLineEndings(std::u16string& text) {
    const LineBreakCounts counts = CountBreaks(text);
    const size_t growth = counts.lf + counts.cr;
    if (growth != 0) {
        const size_t used = text.size();
        text.resize(used + growth);
        WidenLoneBreaksInPlace(text, used);
    }
    return ClassifyLineBreaks(counts);
}

std::u16string ConvertLineEndingsForSave(std::u16string_view text, LineEnding lineEnding) {
    std::u16string_view brk = u"\r\n";
    if (lineEnding == LineEnding::Lf)
        brk = u"\n";
    else if (lineEnding == LineEnding::Cr)
        brk = u"\r";
    const LineBreakCounts counts = CountBreaks(text);
    const size_t breaks = counts.crlf + counts.lf + counts.cr;
    std::u16string converted;
    converted.reserve(text.size() - counts.crlf + breaks * (brk.size() - 1));
    ForEachLine(
        text, [&](const char16_t* run, size_t length) { converted.append(run, length); },
        [&](LineEnding) { converted.append(brk); });
    return converted;
}
