#include "fileio/text_encode.h"
#include "fileio/codepage.h"
#include "fileio/text_units.h"
#include "fileio/utf16_bytes.h"
#include "fileio/utf32_bytes.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

// The UTF-16 and UTF-32 forms write every unit as it is, lone surrogates
// included; the others go through a converter.
bool KeepsEveryUnit(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ||
           encoding == TextEncoding::Utf32Le || encoding == TextEncoding::Utf32Be;
}

// Whether a cut between a and b would split a pair that means one thing.
bool Joined(char16_t a, char16_t b) {
    return (a == kCr && b == kLf) || (IsHighSurrogate(a) && IsLowSurrogate(b));
}

// Hands `emit` the text in order as stretches of at most stretchUnits, none
// ending inside a pair. A pair split between two pieces goes out alone, as a
// stretch of its own two units.
template <typename Emit> bool ForEachStretch(TextPieces text, size_t stretchUnits, Emit emit) {
    size_t skip = 0; // units of this piece that went out with the pair before it
    for (size_t k = 0; k < text.size(); ++k) {
        const std::u16string_view piece = text[k];
        if (piece.empty())
            continue;
        size_t next = k + 1;
        while (next < text.size() && text[next].empty())
            ++next;
        const bool split = next < text.size() && Joined(piece.back(), text[next].front());
        const size_t last = piece.size() - split;
        size_t i = std::exchange(skip, 0);
        while (i < last) {
            size_t end = std::min(last, i + stretchUnits);
            if (end < last && Joined(piece[end - 1], piece[end]))
                --end;
            if (!emit(piece.substr(i, end - i)))
                return false;
            i = end;
        }
        if (split) {
            const char16_t pair[2] = {piece.back(), text[next].front()};
            if (!emit(std::u16string_view(pair, 2)))
                return false;
            skip = 1;
        }
    }
    return true;
}

// The bytes of text in encoding; false when the converter fails.
bool Encode(std::u16string_view text, TextEncoding encoding, std::string& bytes) {
    bytes.clear();
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        AppendUtf16Bytes(text, encoding == TextEncoding::Utf16Be, bytes);
        return true;
    case TextEncoding::Utf32Le:
    case TextEncoding::Utf32Be:
        AppendUtf32Bytes(text, encoding == TextEncoding::Utf32Be, bytes);
        return true;
    default:
        bool replaced;
        return EncodeToCodePage(CodePageForEncoding(encoding), text, bytes, replaced);
    }
}

bool HasSignature(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8Bom || KeepsEveryUnit(encoding);
}

// Whether text holds a surrogate that is not half of a pair. Blocks without
// any surrogate, nearly all of them, are passed over in a loop without a
// branch, which the compiler vectorises.
bool HasLoneSurrogate(std::u16string_view text) {
    constexpr size_t kBlock = 64;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const size_t end = std::min(n, i + kBlock);
        unsigned any = 0;
        for (size_t j = i; j < end; ++j)
            any |= (text[j] & 0xF800) == 0xD800;
        if (!any) {
            i = end;
            continue;
        }
        for (; i < end; ++i) {
            if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1]))
                ++i;
            else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
                return true;
        }
    }
    return false;
}

} // namespace

uint32_t CodePageForEncoding(TextEncoding encoding) {
    return encoding == TextEncoding::Ansi ? kCodePageAnsi : kCodePageUtf8;
}

bool EncodePieces(TextPieces text, TextEncoding encoding, LineEnding lineEnding,
                  size_t stretchUnits, const ByteSink& sink, bool* tooLarge) {
    std::string bytes;
    size_t total = 0;
    auto put = [&] {
        total += bytes.size();
        if (!FitsTextLength(total)) {
            if (tooLarge)
                *tooLarge = true;
            return false;
        }
        return sink(bytes);
    };
    if (tooLarge)
        *tooLarge = false;
    // A signature is U+FEFF in the form itself.
    if (HasSignature(encoding) && !(Encode(u"\uFEFF", encoding, bytes) && put()))
        return false;
    return ForEachStretch(text, stretchUnits, [&](std::u16string_view stretch) {
        return Encode(ConvertLineEndingsForSave(stretch, lineEnding), encoding, bytes) && put();
    });
}

bool PiecesLoseCharacters(TextPieces text, TextEncoding encoding, size_t stretchUnits) {
    if (KeepsEveryUnit(encoding))
        return false;
    const bool ansi = encoding == TextEncoding::Ansi;
    bool lost = false;
    ForEachStretch(text, stretchUnits, [&](std::u16string_view stretch) {
        size_t size;
        bool replaced;
        lost = ansi ? MeasureEncoding(kCodePageAnsi, stretch, size, replaced) && replaced
                    : HasLoneSurrogate(stretch);
        return !lost;
    });
    return lost;
}
