#include "editctl/characters.h"

#include "editctl/char_width_table.h"
#include "editctl/grapheme_rules.h"
#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

template <typename Text> int32_t Length(const Text& text) {
    return static_cast<int32_t>(text.size());
}

template <typename Text> char32_t CodePointIn(const Text& text, int32_t pos) {
    const char16_t unit = text[pos];
    if (IsHighSurrogate(unit) && pos + 1 < Length(text) && IsLowSurrogate(text[pos + 1]))
        return CombineSurrogates(unit, text[pos + 1]);
    return unit;
}

int32_t UnitsOf(char32_t c) {
    return c > 0xFFFF ? 2 : 1;
}

// The code point ending at `end` (> 0); `start` gets where it begins.
template <typename Text> char32_t CodePointBefore(const Text& text, int32_t end, int32_t& start) {
    const char16_t unit = text[end - 1];
    if (IsLowSurrogate(unit) && end >= 2 && IsHighSurrogate(text[end - 2])) {
        start = end - 2;
        return CombineSurrogates(text[end - 2], unit);
    }
    start = end - 1;
    return unit;
}

template <typename Text> bool InsidePair(const Text& text, int32_t pos) {
    return pos > 0 && pos < Length(text) && IsLowSurrogate(text[pos]) &&
           IsHighSurrogate(text[pos - 1]);
}

// Whether the text before `end` ends in a pictograph and Extend marks,
// looking back no further than `floor`; `atFloor` answers for the text
// before it.
template <typename Text>
bool EndsInPictograph(const Text& text, int32_t end, int32_t floor, bool atFloor) {
    while (end > floor) {
        int32_t start = 0;
        const char32_t c = CodePointBefore(text, end, start);
        if (IsExtendedPictographic(c))
            return true;
        if (GraphemeBreakOf(c) != GraphemeBreak::Extend)
            return false;
        end = start;
    }
    return atFloor;
}

// Whether the run of regional indicators ending at `end` is odd, counting
// back to `floor`; `atFloor` tells whether the run reaching it was odd.
template <typename Text>
bool OddRegionalRun(const Text& text, int32_t end, int32_t floor, bool atFloor) {
    bool odd = false;
    while (end > floor) {
        int32_t start = 0;
        if (GraphemeBreakOf(CodePointBefore(text, end, start)) != GraphemeBreak::RegionalIndicator)
            return odd;
        odd = !odd;
        end = start;
    }
    return odd != atFloor;
}

template <typename Text> bool IsStop(const Text& text, int32_t pos) {
    if (pos <= 0 || pos >= Length(text))
        return true;
    const char16_t unit = text[pos];
    const char16_t before = text[pos - 1];
    if (unit < kFirstWideOrMark && before < kFirstWideOrMark)
        return !(unit == kLf && before == kCr);
    if (IsLowSurrogate(unit) && IsHighSurrogate(before))
        return false;
    int32_t previousStart = 0;
    const GraphemeBreak previous = GraphemeBreakOf(CodePointBefore(text, pos, previousStart));
    const PairBreak pair =
        grapheme_rules::PairFor(previous, grapheme_rules::Entry(CodePointIn(text, pos)));
    if (pair != PairBreak::LookBack)
        return pair == PairBreak::Break;
    if (previous == GraphemeBreak::ZWJ)
        return !EndsInPictograph(text, previousStart, 0, false);
    return !OddRegionalRun(text, pos, 0, false);
}

template <typename Text> int32_t PrevStop(const Text& text, int32_t pos) {
    int32_t previous = std::min(pos, Length(text)) - 1;
    if (previous <= 0)
        return 0;
    while (!IsStop(text, previous))
        --previous;
    return previous;
}

template <typename Text> int32_t StopAtOrBefore(const Text& text, int32_t pos) {
    pos = std::clamp(pos, 0, Length(text));
    return IsStop(text, pos) ? pos : PrevStop(text, pos);
}

// Whether `next`, joining a character that began with `first` and moving
// the rules from `before` to `after`, makes it an emoji presentation sequence.
bool PresentsAsEmoji(char32_t first, const ClusterState& before, const ClusterState& after,
                     char32_t next) {
    if (next == 0xFE0F || (next >= 0x1F3FB && next <= 0x1F3FF))
        return true;
    if (next == 0x20E3)
        return first == u'#' || first == u'*' || (first >= u'0' && first <= u'9');
    // Past a ZWJ nothing came before `next` to carry a pictograph along.
    if (before.last == GraphemeBreak::ZWJ)
        return after.pictographic;
    return before.last == GraphemeBreak::RegionalIndicator &&
           after.last == GraphemeBreak::RegionalIndicator;
}

// The character whose first code point `first` ends at `end`, when more
// may join it.
template <typename Text>
CharacterExtent ClusterFrom(const Text& text, char32_t first, int32_t end) {
    ClusterState state = grapheme_rules::AdvanceBy({}, grapheme_rules::Entry(first));
    bool emoji = false;
    while (end < Length(text)) {
        const char16_t unit = text[end];
        // Only a CR, a ZWJ or a prepended mark takes a plain unit after it.
        if (unit < kFirstWideOrMark && state.last != GraphemeBreak::CR &&
            state.last != GraphemeBreak::ZWJ && state.last != GraphemeBreak::Prepend)
            break;
        const char32_t next = CodePointIn(text, end);
        const uint8_t entry = grapheme_rules::Entry(next);
        if (grapheme_rules::Breaks(state, entry))
            break;
        const ClusterState after = grapheme_rules::AdvanceBy(state, entry);
        emoji = emoji || PresentsAsEmoji(first, state, after, next);
        state = after;
        end += UnitsOf(next);
    }
    return {end, emoji ? 2 : std::max(CellWidth(first), 1)};
}

template <typename Text> CharacterExtent ExtentAt(const Text& text, int32_t stop) {
    const char32_t first = CodePointIn(text, stop);
    const int32_t end = stop + UnitsOf(first);
    // Most characters are one code point before a plain unit, which only a
    // CR, a ZWJ or a prepended mark takes.
    if (end == Length(text) || text[end] < kFirstWideOrMark) {
        if (first < kFirstWideOrMark && first != kCr)
            return {end, 1};
        const GraphemeBreak property = GraphemeBreakOf(first);
        if (property != GraphemeBreak::CR && property != GraphemeBreak::ZWJ &&
            property != GraphemeBreak::Prepend)
            return {end, std::max(CellWidth(first), 1)};
    }
    return ClusterFrom(text, first, end);
}

template <typename Text> int32_t NextStop(const Text& text, int32_t pos) {
    if (pos >= Length(text))
        return Length(text);
    pos = std::max(pos, 0);
    return ExtentAt(text, IsStop(text, pos) ? pos : PrevStop(text, pos)).end;
}

// Marks that make a presentation of what they follow rather than a
// letter of their own: variation selectors, skin tones, tags, the keycap.
bool IsPresentationMark(char32_t c) {
    return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) ||
           (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F) || c == 0x20E3;
}

} // namespace

int CellWidth(char32_t c) {
    if (c < kFirstWideOrMark)
        return 1;
    if (c >= 0x110000)
        return 1;
    const uint8_t packed = kCellWidthBlocks[kCellWidthBlockOf[c >> 8]][(c & 0xFF) >> 2];
    switch ((packed >> ((c & 3) * 2)) & 3) {
    case 1:
        return 0;
    case 2:
        return 2;
    default:
        return 1;
    }
}

const char* CellWidthUnicodeVersion() {
    return kCellWidthUnicodeVersion;
}

bool IsCharStop(std::u16string_view text, int32_t pos) {
    return IsStop(text, pos);
}
bool IsCharStop(const TextBuffer& text, int32_t pos) {
    return IsStop(text, pos);
}

bool InsideSurrogatePair(std::u16string_view text, int32_t pos) {
    return InsidePair(text, pos);
}
bool InsideSurrogatePair(const TextBuffer& text, int32_t pos) {
    return InsidePair(text, pos);
}

int32_t NextCharStop(std::u16string_view text, int32_t pos) {
    return NextStop(text, pos);
}
int32_t NextCharStop(const TextBuffer& text, int32_t pos) {
    return NextStop(text, pos);
}

int32_t PrevCharStop(std::u16string_view text, int32_t pos) {
    return PrevStop(text, pos);
}
int32_t PrevCharStop(const TextBuffer& text, int32_t pos) {
    return PrevStop(text, pos);
}

int32_t CharStopAtOrBefore(std::u16string_view text, int32_t pos) {
    return StopAtOrBefore(text, pos);
}
int32_t CharStopAtOrBefore(const TextBuffer& text, int32_t pos) {
    return StopAtOrBefore(text, pos);
}

CharacterExtent CharacterAt(std::u16string_view text, int32_t stop) {
    return ExtentAt(text, stop);
}
CharacterExtent CharacterAt(const TextBuffer& text, int32_t stop) {
    return ExtentAt(text, stop);
}

int32_t BackspaceStop(const TextBuffer& text, int32_t pos) {
    pos = std::clamp(pos, 0, Length(text));
    const int32_t start = PrevStop(text, pos);
    if (pos == 0)
        return 0;
    int32_t lastStart = 0;
    const char32_t last = CodePointBefore(text, pos, lastStart);
    const GraphemeBreak kind = GraphemeBreakOf(last);
    if (lastStart <= start ||
        (kind != GraphemeBreak::Extend && kind != GraphemeBreak::SpacingMark) ||
        IsPresentationMark(last))
        return start;
    // Marks on a pictograph, a flag or a ZWJ belong to an emoji sequence.
    for (int32_t at = start; at < lastStart;) {
        const char32_t c = CodePointIn(text, at);
        const GraphemeBreak k = GraphemeBreakOf(c);
        if (IsExtendedPictographic(c) || k == GraphemeBreak::ZWJ ||
            k == GraphemeBreak::RegionalIndicator)
            return start;
        at += UnitsOf(c);
    }
    return lastStart;
}

ClusterState ClusterStateAfter(std::u16string_view text, const ClusterState& before) {
    const int32_t end = Length(text);
    if (end == 0)
        return before;
    int32_t start = 0;
    const char32_t last = CodePointBefore(text, end, start);
    ClusterState state;
    state.last = GraphemeBreakOf(last);
    if (state.last == GraphemeBreak::ZWJ)
        state.joinsPictograph = EndsInPictograph(text, start, 0, before.pictographic);
    else
        state.pictographic = EndsInPictograph(text, end, 0, before.pictographic);
    if (state.last == GraphemeBreak::RegionalIndicator)
        state.oddRegional = OddRegionalRun(
            text, end, 0, before.last == GraphemeBreak::RegionalIndicator && before.oddRegional);
    return state;
}

char32_t CodePointAt(std::u16string_view text, int32_t pos) {
    return CodePointIn(text, pos);
}

bool IsRightToLeft(char32_t c) {
    if (c < 0x590)
        return false;
    return c <= 0x8FF || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
           (c >= 0x1E800 && c <= 0x1EFFF);
}
