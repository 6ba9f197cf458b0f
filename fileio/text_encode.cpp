#include "fileio/text_encode.h"
#include "fileio/codepage.h"
#include "fileio/text_units.h"
#include "fileio/utf16_bytes.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

bool IsUtf16(uint32_t codePage) {
    return codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be;
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

} // namespace

bool EncodePieces(TextPieces text, uint32_t codePage, LineEnding lineEnding, size_t stretchUnits,
                  const ByteSink& sink) {
    const bool bigEndian = codePage == kCodePageUtf16Be;
    std::string bytes;
    size_t total = 0;
    auto put = [&] {
        total += bytes.size();
        return FitsTextLength(total) && sink(bytes);
    };
    if (IsUtf16(codePage)) {
        AppendUtf16Bytes(u"\uFEFF", bigEndian, bytes); // the signature
        if (!put())
            return false;
    }
    return ForEachStretch(text, stretchUnits, [&](std::u16string_view stretch) {
        const std::u16string converted = ConvertLineEndingsForSave(stretch, lineEnding);
        bytes.clear();
        bool replaced;
        if (IsUtf16(codePage))
            AppendUtf16Bytes(converted, bigEndian, bytes);
        else if (!EncodeToCodePage(codePage, converted, bytes, replaced))
            return false;
        return put();
    });
}

bool PiecesLoseCharacters(TextPieces text, uint32_t codePage, size_t stretchUnits) {
    if (IsUtf16(codePage))
        return false;
    bool lost = false;
    ForEachStretch(text, stretchUnits, [&](std::u16string_view stretch) {
        size_t size;
        bool replaced;
        lost = MeasureEncoding(codePage, stretch, size, replaced) && replaced;
        return !lost;
    });
    return lost;
}
