#include "fileio/utf16_load.h"
#include "fileio/byte_scan.h"
#include "fileio/page_prefault.h"
#include "fileio/text_units.h"
#include "fileio/utf16_bytes.h"

#include <algorithm>
#include <string_view>

namespace {

// Hands the source's bytes to `piece` in order, in pieces that fill the
// buffer: an even number of bytes, so that no unit is split, but for the
// last, which may end in an odd byte. The buffer holds at least four bytes,
// so that the first piece shows a UTF-32 signature whole.
template <typename Piece> bool ForEachPiece(ByteSource& source, std::string& buffer, Piece piece) {
    for (;;) {
        size_t held = 0;
        bool ended = false;
        if (!FillBuffer(source, buffer, held, ended))
            return false;
        if (ended)
            return held == 0 || piece(std::string_view(buffer.data(), held));
        if (!piece(std::string_view(buffer)))
            return false;
    }
}

// Takes the first piece's signature off; false when it has no UTF-16 one.
bool SkipSignature(std::string_view& piece, bool& first, bool& bigEndian) {
    if (!first)
        return true;
    first = false;
    if (piece.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
        return false;
    bigEndian = piece.starts_with("\xFE\xFF");
    if (!bigEndian && !piece.starts_with("\xFF\xFE"))
        return false;
    piece.remove_prefix(2);
    return true;
}

// What the first pass finds: the units behind the signature and their breaks.
struct Survey {
    bool utf16 = true;
    bool bigEndian = false;
    size_t units = 0;
    BreakTally breaks;
};

bool SurveyBytes(ByteSource& source, std::string& buffer, Survey& survey) {
    bool first = true;
    bool afterCr = false;
    std::u16string units;
    return ForEachPiece(source, buffer, [&](std::string_view piece) {
        survey.utf16 = SkipSignature(piece, first, survey.bigEndian);
        if (!survey.utf16)
            return false;
        units.clear();
        AppendUtf16Units(piece, survey.bigEndian, units);
        if (units.empty())
            return true;
        const BreakTally tally = TallyBreaks(units.data(), units.size());
        survey.units += units.size();
        survey.breaks.cr += tally.cr;
        survey.breaks.lf += tally.lf;
        // A CR LF pair may straddle two pieces.
        survey.breaks.pairs += tally.pairs + (afterCr && units.front() == kLf);
        afterCr = units.back() == kCr;
        return true;
    });
}

// Copies the units into the room reserved for them; bytes that would
// outgrow it fail, so that the text never moves.
bool CopyUnits(ByteSource& source, std::string& buffer, bool bigEndian, std::u16string& text,
               bool& replaced) {
    bool first = true;
    bool sameOrder = bigEndian;
    return ForEachPiece(source, buffer, [&](std::string_view piece) {
        if (!SkipSignature(piece, first, sameOrder) || sameOrder != bigEndian ||
            text.size() + piece.size() / 2 + 1 > text.capacity())
            return false;
        replaced = AppendUtf16Units(piece, bigEndian, text) || replaced;
        return true;
    });
}

} // namespace

Utf16Load LoadUtf16(ByteSource& source, size_t pieceBytes, std::u16string& text,
                    TextEncoding& encoding, LineEnding& lineEnding, bool& replaced) {
    std::string buffer(std::max<size_t>(pieceBytes & ~size_t{1}, 4), '\0');
    Survey survey;
    if (!SurveyBytes(source, buffer, survey))
        return survey.utf16 ? Utf16Load::Failed : Utf16Load::NotUtf16;
    const size_t loneBreaks = survey.breaks.cr + survey.breaks.lf - 2 * survey.breaks.pairs;
    const size_t length = survey.units + loneBreaks;
    if (!FitsTextLength(length))
        return Utf16Load::TooLong;
    if (!source.Rewind())
        return Utf16Load::Failed;
    text.clear();
    text.reserve(length + std::max<size_t>(length / 64, 32 * 1024));
    PrefaultSpare(text);
    replaced = false;
    if (!CopyUnits(source, buffer, survey.bigEndian, text, replaced) || text.size() != survey.units)
        return Utf16Load::Failed;
    lineEnding = NormalizeLineEndings(text);
    if (text.size() != length)
        return Utf16Load::Failed;
    encoding = survey.bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
    return Utf16Load::Loaded;
}
