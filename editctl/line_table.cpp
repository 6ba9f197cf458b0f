#include "editctl/line_table.h"

#include "editctl/cells.h"
#include "editctl/characters.h"
#include "editctl/grapheme_rules.h"
#include "editctl/line_scan_wide.h"
#include "editctl/room.h"
#include "editctl/saturate.h"
#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Cells of a line, placed as cells.h places them.
struct Measured {
    int64_t end;   // index of the break or the text's end
    int64_t cells; // width in cells
    bool hasTab;
    bool hasComplex;
};

// The first unit past the tab and the breaks, all three of which lie below.
constexpr char16_t kFirstPlain = kCr + 1;
static_assert(kTab < kFirstPlain && kLf < kFirstPlain);

#if defined(__SSE2__)
__m128i UnitsEqual(__m128i units, char16_t unit) {
    return _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(unit)));
}

// Units above `bound`, compared unsigned: with their top bits flipped,
// units compare as signed in the order they have unsigned.
__m128i UnitsAbove(__m128i units, int bound) {
    return _mm_cmpgt_epi16(_mm_xor_si128(units, _mm_set1_epi16(static_cast<short>(-0x8000))),
                           _mm_set1_epi16(static_cast<short>(bound - 0x8000)));
}

// One bit a unit from a test of eight units at a time, packed to one byte a
// unit, which saturation keeps 0 or -1.
template <typename Test> uint32_t SixteenBits(const char16_t* p, Test test) {
    const __m128i front = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i back = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(test(front), test(back))));
}
#endif

// One bit for each of the sixteen units at p, the first lowest, set for
// those that are not plain: outside [kFirstPlain, 0x300), where a unit
// takes one cell whatever its neighbours. Sixteen at a time, a whole
// stretch is skipped either as a rule, in plain text, or seldom, in text
// with a tab or a wide character every few units, so the branch deciding
// it is seldom mispredicted; in the latter, the bits lead from one unit
// that needs a look to the next without looking at the others again.
uint32_t OthersOfSixteen(const char16_t* p) {
#if defined(__SSE2__)
    // Shifted so that the range starts at the bottom of the signed lanes,
    // where one signed comparison tells it from everything else.
    const __m128i shift = _mm_set1_epi16(static_cast<short>(0x8000 - kFirstPlain));
    const __m128i bound = _mm_set1_epi16(static_cast<short>(0x8000 - kFirstPlain + 0x300));
    return ~SixteenBits(p, [&](__m128i u) {
        return _mm_cmplt_epi16(_mm_add_epi16(u, shift), bound);
    }) & 0xFFFF;
#else
    uint32_t others = 0;
    for (int k = 0; k < 16; ++k)
        others |= static_cast<uint32_t>(p[k] < kFirstPlain || p[k] >= kFirstWideOrMark) << k;
    return others;
#endif
}

// The cells of tabs and other characters as PlaceCharacter gives them, for
// one line's characters in order, with fewer divisions: a mask finds the
// tab stop when stops lie a power of two apart, and while wrapping, the
// start of the row is carried from character to character, as columns
// never decrease from call to call. Long lines of short tab-separated
// fields meet a tab every few units.
class RowCells {
  public:
    explicit RowCells(const CellRules& rules)
        : tabWidth_(rules.tabWidth), perRow_(rules.perRow),
          mask_((rules.tabWidth & (rules.tabWidth - 1)) == 0 ? rules.tabWidth - 1 : -1) {}

    // Cells of a tab after `column` cells.
    int64_t tab(int64_t column) {
        const int64_t cells = tabWidth_ - (mask_ >= 0 ? column & mask_ : column % tabWidth_);
        return perRow_ > 0 ? std::min(cells, room(column)) : cells;
    }
    // Where a character of `cells` cells placed after `column` cells ends,
    // moved whole to the next row when it does not fit in this one.
    int64_t end(int64_t column, int64_t cells) {
        if (perRow_ <= 0)
            return column + cells;
        const int64_t left = room(column);
        if (cells > left) {
            if (left < perRow_)
                column += left;
            cells = std::min(cells, perRow_);
        }
        return column + cells;
    }

  private:
    int64_t room(int64_t column) {
        if (column - rowStart_ >= perRow_)
            rowStart_ = column - (column - rowStart_) % perRow_;
        return rowStart_ + perRow_ - column;
    }

    int64_t tabWidth_;
    int64_t perRow_;
    int64_t mask_; // tabWidth_ - 1, or -1 when that is no power of two
    int64_t rowStart_ = 0;
};

// Whether `next` joins the plain unit before it into one character.
bool JoinsPlainUnit(char16_t plain, char32_t next) {
    using namespace grapheme_rules;
    return PairFor(PropertyOf(Entry(plain)), Entry(next)) == PairBreak::Join;
}

// GraphemeBreakOf, inline: every character from U+0300 on that a line
// holds is asked.
GraphemeBreak BreakPropertyOf(char32_t c) {
    return grapheme_rules::PropertyOf(grapheme_rules::Entry(c));
}

// For each unit from U+0300 on, its cells when it is a code point that
// joins nothing before it and nothing after it but marks, as the letters
// of most scripts and the Han ideographs do; 0 for the others (marks,
// joiners, Hangul jamo, surrogates), which the cluster rules must tell. A
// line of Cyrillic or Han then costs a look or two per character. Made on
// first use.
class SimpleCells {
  public:
    static const SimpleCells& Get() {
        static const SimpleCells table;
        return table;
    }
    uint8_t operator[](char16_t unit) const { return cells_[unit]; }

  private:
    SimpleCells() {
        for (char32_t c = kFirstWideOrMark; c < 0x10000; ++c) {
            const GraphemeBreak property = BreakPropertyOf(c);
            const bool simple = (c & 0xF800) != 0xD800 && (property == GraphemeBreak::Other ||
                                                           property == GraphemeBreak::Control);
            cells_[c] = simple ? static_cast<uint8_t>(std::max(CellWidth(c), 1)) : 0;
        }
    }

    uint8_t cells_[0x10000] = {};
};

// The units and cells of the character at text[i], from U+0300 on, when
// it is a code point of its own: it joins neither the unit before it nor
// what follows, as a Han ideograph before another or a lone emoji before
// a space does; no units when the cluster rules must tell. Two ints, which
// travel back in one register.
struct StandAlone {
    int units = 0;
    int cells = 0;
};
StandAlone StandAloneAt(const char16_t* text, int64_t i, int64_t length) {
    int units = 1;
    char32_t c = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
        units = 2;
        c = CombineSurrogates(text[i], text[i + 1]);
    } else if ((text[i] & 0xF800) == 0xD800) {
        return {};
    }
    const GraphemeBreak property = BreakPropertyOf(c);
    // What joins the unit before it, and what joins a plain unit after it.
    if (property == GraphemeBreak::Extend || property == GraphemeBreak::ZWJ ||
        property == GraphemeBreak::SpacingMark || property == GraphemeBreak::Prepend)
        return {};
    const StandAlone one{units, std::max(CellWidth(c), 1)};
    const int64_t next = i + units;
    if (next == length || text[next] < kFirstWideOrMark)
        return one;
    // Before more than a plain unit, only a character that joins nothing
    // after it but marks stands alone, when no mark follows.
    if (property != GraphemeBreak::Other && property != GraphemeBreak::Control)
        return {};
    char32_t after = text[next];
    if (IsHighSurrogate(text[next]) && next + 1 < length && IsLowSurrogate(text[next + 1]))
        after = CombineSurrogates(text[next], text[next + 1]);
    const GraphemeBreak joining = BreakPropertyOf(after);
    if (joining == GraphemeBreak::Extend || joining == GraphemeBreak::ZWJ ||
        joining == GraphemeBreak::SpacingMark)
        return {};
    return one;
}

// StandAloneAt's cells for the commonest case, a character of SimpleCells
// before a plain unit or another such character, which no mark follows;
// 0 when StandAloneAt must tell. Apart from it, so that this case costs
// no call.
int SimpleCellsAt(const char16_t* text, int64_t i, int64_t length, const SimpleCells& simple) {
    const int cells = simple[text[i]];
    return cells != 0 &&
                   (i + 1 == length || text[i + 1] < kFirstWideOrMark || simple[text[i + 1]] != 0)
               ? cells
               : 0;
}

// Scans from `start` to the next CR, LF or the end; one pass, no allocation.
Measured MeasureLine(const char16_t* text, int64_t length, int64_t start, const CellRules& rules) {
    // The line as far as it may reach: characters never cross a break.
    const std::u16string_view rest(text + start, static_cast<size_t>(length - start));
    int64_t extra = 0; // cells beyond one per unit
    RowCells cells(rules);
    const SimpleCells& simple = SimpleCells::Get();
    bool hasTab = false;
    bool hasComplex = false;
    int64_t i = start;
    int64_t characterEnd = start; // where the last character measured whole ended
    // Measures the character at i, whose first unit is not plain, moving i
    // past it; false at a break.
    auto measureOther = [&] {
        const char16_t c = text[i];
        if (c == kCr || c == kLf)
            return false;
        if (c != kTab && c < kFirstWideOrMark) {
            ++i;
            return true;
        }
        const int64_t column = i - start + extra;
        if (c == kTab) {
            hasTab = true;
            extra += cells.tab(column) - 1;
            ++i;
            return true;
        }
        hasComplex = true;
        StandAlone one{1, SimpleCellsAt(text, i, length, simple)};
        if (one.cells == 0)
            one = StandAloneAt(text, i, length);
        if (one.units > 0) {
            extra += cells.end(column, one.cells) - column - one.units;
            i += one.units;
            characterEnd = i;
            return true;
        }
        // Characters are measured whole from their first unit. A unit that
        // joins the plain unit before it (a mark on a letter, a ZWJ) moves
        // the start back to it: it was counted one cell and takes its
        // character's cells now. That unit stands alone (a character it
        // joined was measured with it), so the start moves back one unit
        // at most.
        auto offset = static_cast<int32_t>(i - start);
        if (i != characterEnd && JoinsPlainUnit(text[i - 1], CodePointAt(rest, offset)))
            --offset;
        const int64_t first = offset + extra;
        const CharacterExtent character = CharacterAt(rest, offset);
        extra += cells.end(first, character.cells) - first - (character.end - offset);
        i = start + character.end;
        characterEnd = i;
        return true;
    };
    while (i + 16 <= length) {
        const int64_t block = i;
        for (uint32_t others = OthersOfSixteen(text + block); others != 0; others &= others - 1) {
            const int64_t at = block + std::countr_zero(others);
            if (at < i)
                continue; // inside a character measured already
            i = at;
            if (!measureOther())
                return {i, i - start + extra, hasTab, hasComplex};
        }
        i = std::max(i, block + 16);
    }
    while (i < length) {
        if (IsPlainUnit(text[i]))
            ++i;
        else if (!measureOther())
            break;
    }
    return {i, i - start + extra, hasTab, hasComplex};
}

// A line's end, as MeasureLine finds it, and a bound of its width without
// wrapping: a unit takes at most one cell, but a tab up to a tab stop away,
// and a unit from U+1100 on outside the surrogates up to two. A surrogate
// pair takes at most two cells, and so does a cluster of units.
struct Bounded {
    int64_t end;
    int64_t cells;
    bool hasTab;
    bool hasComplex;
};

bool MayBeWide(char16_t unit) {
    return unit >= kFirstWide && (unit & 0xF800) != 0xD800;
}

// Bits for each of the sixteen units at p, the first lowest: the CRs and
// LFs, and apart from them, for the units that are not plain, the tabs,
// the units MayBeWide holds and the units from U+0300 on.
uint32_t BreaksOfSixteen(const char16_t* p);
struct SixteenKinds {
    uint32_t tabs;
    uint32_t wide;
    uint32_t complex;
};
SixteenKinds KindsOfSixteen(const char16_t* p);

#if defined(__SSE2__)
uint32_t BreaksOfSixteen(const char16_t* p) {
    return SixteenBits(
        p, [](__m128i u) { return _mm_or_si128(UnitsEqual(u, kCr), UnitsEqual(u, kLf)); });
}

SixteenKinds KindsOfSixteen(const char16_t* p) {
    return {SixteenBits(p, [](__m128i u) { return UnitsEqual(u, kTab); }),
            SixteenBits(p,
                        [](__m128i u) {
                            const __m128i surrogate =
                                _mm_andnot_si128(UnitsAbove(u, 0xDFFF), UnitsAbove(u, 0xD7FF));
                            return _mm_andnot_si128(surrogate, UnitsAbove(u, kFirstWide - 1));
                        }),
            SixteenBits(p, [](__m128i u) { return UnitsAbove(u, kFirstWideOrMark - 1); })};
}
#else
uint32_t BreaksOfSixteen(const char16_t* p) {
    uint32_t breaks = 0;
    for (int k = 0; k < 16; ++k)
        breaks |= static_cast<uint32_t>(p[k] == kCr || p[k] == kLf) << k;
    return breaks;
}

SixteenKinds KindsOfSixteen(const char16_t* p) {
    SixteenKinds kinds{};
    for (int k = 0; k < 16; ++k) {
        kinds.tabs |= static_cast<uint32_t>(p[k] == kTab) << k;
        kinds.wide |= static_cast<uint32_t>(MayBeWide(p[k])) << k;
        kinds.complex |= static_cast<uint32_t>(p[k] >= kFirstWideOrMark) << k;
    }
    return kinds;
}
#endif

// The set bits of the low and of the high sixteen bits, side by side,
// without a population count instruction, which the target may lack.
uint32_t CountBitsOfHalves(uint32_t x) {
    x -= (x >> 1) & 0x55555555u;
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0Fu;
    return (x + (x >> 8)) & 0x001F001Fu;
}

// The bound of the line from `start` to where `s` ends.
Bounded BoundOf(const LineScan& s, int64_t start, int64_t tabWidth) {
    return Bounded{s.at, s.at - start + s.tabs * (tabWidth - 1) + s.wide, s.tabs > 0, s.hasComplex};
}

// With wideScan, ScanLineWide takes the line while it can.
Bounded BoundLine(const char16_t* text, int64_t length, int64_t start, int64_t tabWidth,
                  bool wideScan) {
    LineScan s{.at = start};
    const auto bounded = [&] { return BoundOf(s, start, tabWidth); };
    if (wideScan && ScanLineWide(text, length, s))
        return bounded();
    for (; s.at + 16 <= length; s.at += 16) {
        // Lines are scanned one after another, each to its end; fetching
        // 2 KB ahead keeps a long text's units arriving in time.
        __builtin_prefetch(text + std::min(s.at + 1024, length));
        const uint32_t others = OthersOfSixteen(text + s.at);
        if (others == 0)
            continue;
        const uint32_t breaks = BreaksOfSixteen(text + s.at);
        const uint32_t before = breaks != 0 ? (1u << std::countr_zero(breaks)) - 1 : 0xFFFFu;
        if ((others & before) != 0) {
            const SixteenKinds kinds = KindsOfSixteen(text + s.at);
            const uint32_t counts =
                CountBitsOfHalves((kinds.tabs & before) | (kinds.wide & before) << 16);
            s.tabs += counts & 0xFFFF;
            s.wide += counts >> 16;
            s.hasComplex = s.hasComplex || (kinds.complex & before) != 0;
        }
        if (breaks != 0) {
            s.at += std::countr_zero(breaks);
            return bounded();
        }
    }
    for (; s.at < length && text[s.at] != kCr && text[s.at] != kLf; ++s.at) {
        s.tabs += text[s.at] == kTab;
        s.wide += MayBeWide(text[s.at]);
        s.hasComplex = s.hasComplex || text[s.at] >= kFirstWideOrMark;
    }
    return bounded();
}

// How far apart the stops an edit's walk starts and ends at lie at most.
constexpr int32_t kStopWalk = 2048;

// An edit inside a line, its units after the edit, and stops along it made
// before: the edit put units [from, newEnd) in place of [from, oldEnd).
struct EditWalk {
    std::u16string_view units;
    std::span<const CellStop> stops;
    CellRules rules;
    int32_t from, oldEnd, newEnd;
};

// Where a walk across an edit ended: in step with an old stop, its columns
// `shift` further on, or at the line's end at `column`; `tooFar` when it
// gave up. Whether it met a tab or a unit from U+0300 on that the edit
// left or put there.
struct WalkEnd {
    bool inStep = false;
    int64_t shift = 0;
    int64_t column = 0;
    bool tooFar = false;
    bool tab = false;
    bool complex = false;
};

// Walks from the last stop before the edit, which depends only on units
// before it and holds still, to the first old stop past the edit at a
// column shifted by whole tab stops and rows: from there on the line is
// laid out as before, that much further on.
WalkEnd WalkAcross(const EditWalk& w) {
    const auto offsetBelow = [](const CellStop& stop, int32_t offset) {
        return stop.offset < offset;
    };
    const auto length = static_cast<int32_t>(w.units.size());
    const int32_t delta = w.newEnd - w.oldEnd;
    CellStop at =
        *(std::lower_bound(w.stops.begin(), w.stops.end(), std::max(w.from, 1), offsetBelow) - 1);
    auto old = std::lower_bound(w.stops.begin(), w.stops.end(), w.oldEnd, offsetBelow);
    WalkEnd end;
    // Beyond a few spacings of stops, measuring the line whole is faster.
    if (w.from - at.offset > kStopWalk)
        return {.tooFar = true};
    for (;;) {
        for (; old != w.stops.end() && old->offset + delta < at.offset; ++old) {
        }
        if (at.offset >= w.newEnd && old != w.stops.end() && old->offset + delta == at.offset) {
            end.shift = at.column - old->column;
            end.inStep = end.shift % w.rules.tabWidth == 0 &&
                         (w.rules.perRow == 0 || end.shift % w.rules.perRow == 0);
        }
        if (end.inStep || at.offset >= length)
            break;
        if (at.offset > w.newEnd + 4 * kStopWalk)
            return {.tooFar = true};
        const CellSpan span = PlaceCharacter(w.units, at.offset, at.column, w.rules);
        for (int32_t i = at.offset; i < span.after; ++i) {
            end.tab = end.tab || w.units[static_cast<size_t>(i)] == kTab;
            end.complex = end.complex || w.units[static_cast<size_t>(i)] >= kFirstWideOrMark;
        }
        at = {span.after, span.end};
    }
    end.column = at.column;
    // The inserted units, wherever the walk began.
    for (int32_t i = w.from; i < w.newEnd; ++i) {
        end.tab = end.tab || w.units[static_cast<size_t>(i)] == kTab;
        end.complex = end.complex || w.units[static_cast<size_t>(i)] >= kFirstWideOrMark;
    }
    return end;
}

bool IsBreak(char16_t unit) {
    return unit == kCr || unit == kLf;
}

// A line's units read in place in its block, on either side of the gap.
struct LineUnits {
    TextBuffer::BlockHalves halves;

    char16_t operator[](int64_t pos) const {
        const size_t i = static_cast<size_t>(pos) - halves.start;
        return i < halves.front.size() ? halves.front[i] : halves.back[i - halves.front.size()];
    }
    char32_t codePointAt(int64_t pos, int64_t end) const {
        const char16_t unit = (*this)[pos];
        if (IsHighSurrogate(unit) && pos + 1 < end && IsLowSurrogate((*this)[pos + 1]))
            return CombineSurrogates(unit, (*this)[pos + 1]);
        return unit;
    }
    char32_t codePointBefore(int64_t pos, int64_t start) const {
        const char16_t unit = (*this)[pos - 1];
        if (IsLowSurrogate(unit) && pos - 2 >= start && IsHighSurrogate((*this)[pos - 2]))
            return CombineSurrogates((*this)[pos - 2], unit);
        return unit;
    }
    // Cells of [from, to), which holds no tab, from a tab stop on a row
    // without end; none when the range spans the gap.
    std::optional<int64_t> cells(int64_t from, int64_t to, const CellRules& rules) const {
        const auto split = static_cast<int64_t>(halves.start + halves.front.size());
        if (to <= split)
            return MeasureLine(halves.front.data(), to - static_cast<int64_t>(halves.start),
                               from - static_cast<int64_t>(halves.start), rules)
                .cells;
        if (from >= split)
            return MeasureLine(halves.back.data(), to - split, from - split, rules).cells;
        return std::nullopt;
    }
};

// Whether an edit that put plain units in place of plain units in a line
// leaves every character around it as it was: the text breaks into
// characters where the edit begins and where it ends, before the edit and
// after it, whatever plain units lie at either side. Units [lineStart,
// lineEnd) are the line's after the edit.
bool SplitsNoCharacter(const LineUnits& units, int64_t lineStart, int64_t lineEnd,
                       const TextChange& change) {
    using namespace grapheme_rules;
    using enum GraphemeBreak;
    const GraphemeBreak before =
        change.start > lineStart ? PropertyOf(Entry(units.codePointBefore(change.start, lineStart)))
                                 : Control;
    const uint8_t after =
        Entry(change.newEnd < lineEnd ? units.codePointAt(change.newEnd, lineEnd) : char32_t{kLf});
    const GraphemeBreak afterProperty = PropertyOf(after);
    // A surrogate pair split or made is a character changed; only these
    // properties take a plain unit after them, or join one before them.
    const bool pairAround = change.start > lineStart && change.newEnd < lineEnd &&
                            IsHighSurrogate(units[change.start - 1]) &&
                            IsLowSurrogate(units[change.newEnd]);
    if (pairAround || before == Prepend || before == ZWJ || afterProperty == Extend ||
        afterProperty == ZWJ || afterProperty == SpacingMark)
        return false;
    // An edit that only inserted or only removed units brings the two sides
    // together, before it or after it.
    return (change.newEnd > change.start && change.oldEnd > change.start) ||
           PairFor(before, after) == PairBreak::Break;
}

// How much wider a line within one row grows when plain units take the
// place of plain ones in it: columns before the edit stand, those after it
// move by the difference in length up to the first tab after the edit,
// which ends at the same stop or a whole number of stops away, and from
// there on the line is as it was. Columns count from the last tab before
// the edit, since a tab ends at a stop. Units [lineStart, lineEnd) are the
// line's after the edit; none when the tabs lie too far away.
std::optional<int64_t> TabStopShift(const LineUnits& units, int64_t lineStart, int64_t lineEnd,
                                    const TextChange& change, int64_t tabWidth) {
    const int32_t delta = change.newEnd - change.oldEnd;
    int64_t tab = change.newEnd;
    while (tab < lineEnd && units[tab] != kTab && tab - change.newEnd < kStopWalk)
        ++tab;
    if (tab == lineEnd)
        return delta;
    int64_t from = change.start;
    while (from > lineStart && units[from - 1] != kTab && change.start - from < kStopWalk)
        --from;
    if (units[tab] != kTab || (from > lineStart && units[from - 1] != kTab))
        return std::nullopt;
    const CellRules rules{tabWidth, 0};
    const std::optional<int64_t> before = units.cells(from, change.start, rules);
    const std::optional<int64_t> after = units.cells(change.newEnd, tab, rules);
    if (!before || !after)
        return std::nullopt;
    const int64_t column = *before + (change.newEnd - change.start) + *after;
    const auto stopAfter = [&](int64_t c) { return (c / tabWidth + 1) * tabWidth; };
    return stopAfter(column) - stopAfter(column - delta);
}

// Measures the line at `start` where it lies, in its block on one side of
// the block's gap; no line leaves its block. A line running into the gap is
// viewed whole, which moves the gap out of it, and measured again.
Measured MeasureLineAt(const TextBuffer& text, int64_t start, const CellRules& rules) {
    const auto [blockStart, front, back] = text.blockAt(static_cast<size_t>(start));
    const auto base = static_cast<int64_t>(blockStart);
    const auto split = static_cast<int64_t>(front.size());
    if (start - base >= split) {
        Measured m = MeasureLine(back.data(), static_cast<int64_t>(back.size()),
                                 start - base - split, rules);
        m.end += base + split;
        return m;
    }
    Measured m = MeasureLine(front.data(), split, start - base, rules);
    m.end += base;
    if (m.end < base + split || back.empty() || IsBreak(back.front()))
        return m;
    const auto end =
        static_cast<int64_t>(std::find_if(back.begin(), back.end(), IsBreak) - back.begin()) +
        base + split;
    const std::u16string_view line =
        text.view(static_cast<size_t>(start), static_cast<size_t>(end - start));
    Measured whole = MeasureLine(line.data(), end - start, 0, rules);
    whole.end += start;
    return whole;
}

// A line's shape packed in 32 bits: the length of its break (0 for the
// last line, else 1 or 2), two flags and its width in cells.
constexpr uint32_t kBreakMask = 3;
constexpr uint32_t kHasTab = 4;
constexpr uint32_t kHasComplex = 8;
constexpr uint32_t kUnmeasured = 16; // the width field holds a bound of the width
constexpr int kCellsShift = 5;
// The width field's top value: the width is kept apart.
constexpr uint32_t kWideCells = 0xFFFFFFFFu >> kCellsShift;

// A line's shape with its width measured as `cells`, below kWideCells.
uint32_t MeasuredShape(uint32_t shape, int64_t cells) {
    return (shape & (kBreakMask | kHasTab | kHasComplex)) | static_cast<uint32_t>(cells)
                                                                << kCellsShift;
}

// The cells a line may span before wrapping can move its characters: a
// line that reaches a row's end may have had cells left empty or a tab cut.
int64_t RowLimit(int32_t columnsPerRow) {
    return columnsPerRow > 0 ? columnsPerRow : std::numeric_limits<int64_t>::max();
}

// Whether every first row above so many rows is exact, not saturated. A
// character takes at most one row, and an empty line has a break, so this
// holds for every text of 2^31 units less one; the check is for safety.
bool TopsFit(int64_t rows) {
    return rows <= std::numeric_limits<int32_t>::max();
}

// Lines this long are not measured ahead.
constexpr int64_t kLongLineUnits = int64_t{1} << 20;

int64_t RowsOfCells(int64_t cells, int64_t perRow) {
    return perRow > 0 && cells > 0 ? (cells + perRow - 1) / perRow : 1;
}

} // namespace

bool IsPlainUnit(char16_t unit) {
    return unit >= kFirstPlain && unit < kFirstWideOrMark;
}

void TextChange::add(int32_t position, int32_t removed, int32_t inserted, bool plainRemoved) {
    if (removed == 0 && inserted == 0)
        return;
    if (!any)
        *this = {position, position, position, true, true};
    removedPlain = removedPlain && (removed == 0 || plainRemoved);
    // From the span's end on, the text is the old text's tail, moved.
    const int32_t end = std::max(newEnd, position + removed);
    oldEnd += end - newEnd;
    newEnd = end - removed + inserted;
    start = std::min(start, position);
}

void LineTable::measureLines(const TextBuffer& text, const LineMetrics& metrics, int64_t start,
                             int64_t stopBeyond, Scan& out) {
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t perRow = metrics.columnsPerRow;
    const CellRules rules{metrics.tabWidth, perRow};
    for (;;) {
        const Measured m = MeasureLineAt(text, start, rules);
        out.add(start, m.end, m.cells, m.hasTab, m.hasComplex);
        out.rows += RowsOfCells(m.cells, perRow);
        if (m.end >= length)
            break;
        int64_t next = m.end + 1;
        if (text[m.end] == kCr && next < length && text[next] == kLf)
            ++next;
        if (next > stopBeyond)
            break;
        start = next;
    }
    out.settle();
}

void LineTable::Scan::add(int64_t start, int64_t end, int64_t cells, bool hasTab, bool hasComplex,
                          bool measured) {
    if (batched == kBatchLines)
        settle();
    const auto breakLength = static_cast<uint32_t>(start - lastEnd);
    if (batched > 0)
        batchShapes[batched - 1] |= breakLength;
    else if (!shapes.empty())
        shapes.set(shapes.size() - 1, shapes[shapes.size() - 1] | breakLength);
    uint32_t shape =
        (hasTab ? kHasTab : 0) | (hasComplex ? kHasComplex : 0) | (measured ? 0 : kUnmeasured);
    if (cells < kWideCells) {
        shape |= static_cast<uint32_t>(cells) << kCellsShift;
    } else {
        shape |= kWideCells << kCellsShift;
        wide.push_back({static_cast<int32_t>(shapes.size() + batched), cells});
    }
    (measured ? widths : bounds).add(cells);
    batchStarts[batched] = static_cast<int32_t>(start);
    batchTops[batched] = Saturate32(rows);
    batchShapes[batched] = shape;
    ++batched;
    lastEnd = end;
}

void LineTable::Scan::settle() {
    if (batched == 0)
        return;
    const size_t lines = shapes.size() + batched;
    if (lines > std::min({starts.capacity(), tops.capacity(), shapes.capacity()}))
        grow(batchStarts[batched - 1], lines);
    starts.append(batchStarts.data(), batched);
    tops.append(batchTops.data(), batched);
    shapes.append(batchShapes.data(), batched);
    batched = 0;
}

void LineTable::Scan::append(const Scan& more) {
    settle();
    const size_t count = more.shapes.size();
    if (count == 0)
        return;
    const size_t first = shapes.size();
    if (first > 0)
        shapes.set(first - 1, shapes[first - 1] | static_cast<uint32_t>(more.starts[0] - lastEnd));
    for (size_t from = 0; from < count; from += kBatchLines) {
        batched = std::min(kBatchLines, count - from);
        more.starts.read(static_cast<int32_t>(from), batched, batchStarts.data());
        more.tops.read(static_cast<int32_t>(from), batched, batchTops.data());
        more.shapes.read(from, batched, batchShapes.data());
        // A first row saturated in `more` stays saturated here.
        for (size_t i = 0; i < batched; ++i)
            batchTops[i] = Saturate32(rows + batchTops[i]);
        settle();
    }
    for (const WideLine& line : more.wide)
        wide.push_back({line.line + static_cast<int32_t>(first), line.cells});
    widths.add(more.widths);
    bounds.add(more.bounds);
    rows += more.rows;
    lastEnd = more.lastEnd;
}

void LineTable::Scan::grow(int64_t position, size_t lines) {
    size_t capacity = std::max<size_t>(lines * 2, 64);
    // Far enough into a long text, the lines so far foretell how many there
    // are: grow once to about that many instead of doubling past it.
    const int64_t measured = position - origin;
    if (textLength > 0 && measured > textLength / 64) {
        const auto expected =
            static_cast<size_t>(static_cast<double>(lines) * static_cast<double>(textLength) /
                                static_cast<double>(measured));
        capacity = std::max(expected + expected / 256, lines + lines / 64) + 1024;
    }
    starts.reserve(capacity);
    tops.reserve(capacity);
    shapes.reserve(capacity);
}

void LineTable::rebuild(const TextBuffer& text, const LineMetrics& metrics) {
    // Measure into the old tables' memory: a big text's tables are large.
    Scan all;
    swapStorage(all);
    all.starts.clear();
    all.tops.clear();
    all.shapes.clear();
    all.wide.clear();
    all.widths.clear();
    all.bounds.clear();
    all.textLength = static_cast<int64_t>(text.size());
    try {
        measureLines(text, metrics, 0, static_cast<int64_t>(text.size()), all);
    } catch (...) {
        // The memory stays with the table, so the text it held fits again.
        swapStorage(all);
        throw;
    }
    swapStorage(all);
    rowSum_ = all.rows;
    metrics_ = metrics;
    textLength_ = static_cast<int64_t>(text.size());
}

void LineTable::rebuild(const TextBuffer& text, Ahead&& ahead) {
    Scan& all = ahead.scan_;
    const auto length = static_cast<int64_t>(text.size());
    all.textLength = length - all.origin;
    measureLines(text, ahead.metrics_, std::min(ahead.next_, length), length, all);
    swapStorage(all);
    rowSum_ = all.rows;
    metrics_ = ahead.metrics_;
    textLength_ = length;
}

LineTable::Ahead::Ahead(const LineMetrics& metrics, int64_t expectedLength, int64_t start)
    : metrics_(metrics), next_(start),
      linesToReach_(static_cast<uint32_t>(std::clamp<int64_t>(expectedLength >> 16, 1, 64))) {
    scan_.origin = start;
    scan_.textLength = expectedLength - start;
}

void LineTable::Ahead::reach(int64_t cells) {
    if (cells >= reached_)
        ++reaching_;
    raise();
}

void LineTable::Ahead::raise() {
    // Bounds kept stay among the widths counted in place, so that measuring
    // such a line later needs no memory.
    while (reached_ < WidthCounts::kNarrow - 1 &&
           reaching_ - scan_.widths.linesAt(reached_) >= linesToReach_)
        reaching_ -= scan_.widths.linesAt(reached_++);
}

void LineTable::Ahead::append(const Ahead& later) {
    reaching_ += static_cast<uint32_t>(later.scan_.widths.linesFrom(reached_));
    scan_.append(later.scan_);
    raise();
    next_ = later.next_;
    retryAt_ = later.retryAt_;
}

void LineTable::Ahead::measure(const char16_t* units, int64_t written, int64_t stopBeyond) {
    if (written < retryAt_)
        return;
    const int64_t perRow = metrics_.columnsPerRow;
    const CellRules rules{metrics_.tabWidth, perRow};
    const bool wideScan = WideLineScanUsable();
    // Takes the line from next_ on; false when it has not ended yet.
    const auto take = [&](const Bounded& bounded) {
        Measured m{bounded.end, bounded.cells, bounded.hasTab, bounded.hasComplex};
        int64_t after = m.end + 1;
        // Not ended yet, or a CR that an LF not written yet may follow.
        if (m.end >= written || (units[m.end] == kCr && after >= written)) {
            // A line longer than a block is left for rebuild to measure
            // once: measuring it again and again would cost more than it
            // saves, as such a line often is the whole text.
            const int64_t sofar = written - next_;
            retryAt_ =
                sofar > kLongLineUnits ? std::numeric_limits<int64_t>::max() : written + sofar;
            return false;
        }
        if (units[m.end] == kCr && units[after] == kLf)
            ++after;
        // A line of plain units is as wide as its bound, and one narrower
        // than a row takes one row whatever its width.
        bool measured = !m.hasTab && !m.hasComplex;
        if (!measured && (m.cells > reached_ || (perRow > 0 && m.cells >= perRow))) {
            m = MeasureLine(units, written, next_, rules);
            measured = true;
        }
        scan_.add(next_, m.end, m.cells, m.hasTab, m.hasComplex, measured);
        if (measured)
            reach(m.cells);
        scan_.rows += RowsOfCells(m.cells, perRow);
        next_ = after;
        return true;
    };
    std::array<LineScan, 64> found;
    while (next_ < written && next_ <= stopBeyond) {
        const size_t count =
            wideScan ? ScanLinesWide(units, written, next_, found.data(), found.size()) : 0;
        for (size_t i = 0; i < count && next_ <= stopBeyond; ++i)
            take(BoundOf(found[i], next_, metrics_.tabWidth));
        if (count == 0 && !take(BoundLine(units, written, next_, metrics_.tabWidth, wideScan)))
            break;
    }
    scan_.settle();
}

void LineTable::update(const TextBuffer& text, const LineMetrics& metrics, const TextChange& change,
                       std::span<const CellStop> stops) {
    const int64_t length = static_cast<int64_t>(text.size());
    if (empty() || metrics != metrics_ || length != textLength_ + change.newEnd - change.oldEnd) {
        rebuild(text, metrics);
        return;
    }
    if (!change.any)
        return;
    // Lines starting before the change stay, except one right after a CR:
    // an LF now behind the CR joins the two into one break.
    int32_t first = lineOfPosition(change.start);
    if (first > 0 && starts_[first] == change.start && text[change.start - 1] == kCr &&
        change.start < length && text[change.start] == kLf)
        --first;
    // Lines starting beyond the old span's end stay too, moved by the
    // length difference. Those between are measured again.
    const int32_t resume = starts_.upperBound(first, change.oldEnd);
    // Everything that needs memory comes first: running out of it leaves
    // the table as it was, for the caller to put the old text back.
    Scan fresh;
    if (const std::optional<int64_t> cells = cellsAfterPlainEdit(text, first, change))
        resized(first, change.newEnd - change.oldEnd, *cells, fresh);
    else if (!walkedFromStops(text, first, change, stops, fresh))
        measureLines(text, metrics, starts_[first], change.newEnd, fresh);
    const auto count = static_cast<int32_t>(fresh.shapes.size());
    starts_.makeRoom(first, resume, count);
    tops_.makeRoom(first, resume, count);
    shapes_.makeRoom(static_cast<size_t>(first), static_cast<size_t>(resume),
                     static_cast<size_t>(count));
    MakeRoom(wide_, wide_.size() + fresh.wide.size());
    widths_.makeRoom(fresh.widths);
    int64_t oldRows = 0;
    for (int32_t i = first; i < resume; ++i)
        oldRows += rowsOf(i);
    const bool topsFitBefore = TopsFit(rowSum_);
    rowSum_ += fresh.rows - oldRows;
    textLength_ = length;
    // Saturated first rows are no sums that a difference could move.
    const bool topsFit = topsFitBefore && TopsFit(rowSum_);
    replaceLines(first, resume, fresh, change.newEnd - change.oldEnd,
                 topsFit ? static_cast<int32_t>(fresh.rows - oldRows) : 0);
    if (!topsFit)
        retop();
    settleWidest(text);
}

std::optional<int64_t> LineTable::cellsAfterPlainEdit(const TextBuffer& text, int32_t line,
                                                      const TextChange& change) const {
    const LineInfo info = (*this)[line];
    if (change.oldEnd > info.start + info.length || !measured(line))
        return std::nullopt;
    const int32_t delta = change.newEnd - change.oldEnd;
    const int32_t end = info.start + info.length + delta;
    const LineUnits units{text.blockAt(static_cast<size_t>(info.start))};
    for (int32_t i = change.start; i < change.newEnd; ++i) {
        if (!IsPlainUnit(units[i]))
            return std::nullopt;
    }
    const int64_t cells = cellsOf(line);
    if (!info.hasTab && !info.hasComplex)
        return cells + delta;
    if (!change.removedPlain ||
        (info.hasComplex && !SplitsNoCharacter(units, info.start, end, change)))
        return std::nullopt;
    // In a line within one row no character moves to the next, and no tab is
    // cut short at the row's end, which makes the line exactly that wide.
    const int64_t perRow = metrics_.columnsPerRow;
    if (perRow > 0 && (info.hasTab ? cells >= perRow : cells > perRow))
        return std::nullopt;
    const std::optional<int64_t> grown =
        info.hasTab ? TabStopShift(units, info.start, end, change, metrics_.tabWidth) : delta;
    if (!grown || (perRow > 0 && cells + *grown > perRow))
        return std::nullopt;
    return cells + *grown;
}

void LineTable::resized(int32_t line, int32_t delta, int64_t cells, Scan& out) const {
    const LineInfo info = (*this)[line];
    out.add(info.start, info.start + info.length + delta, cells, info.hasTab, info.hasComplex);
    out.settle();
    out.rows = metrics_.columnsPerRow > 0 && cells > 0
                   ? (cells + metrics_.columnsPerRow - 1) / metrics_.columnsPerRow
                   : 1;
}

bool LineTable::walkedFromStops(const TextBuffer& text, int32_t line, const TextChange& change,
                                std::span<const CellStop> stops, Scan& out) const {
    const LineInfo info = (*this)[line];
    if (stops.size() < 2 || change.oldEnd > info.start + info.length || !measured(line))
        return false;
    for (int32_t i = change.start; i < change.newEnd; ++i) {
        if (IsBreak(text[static_cast<size_t>(i)]))
            return false;
    }
    const int32_t delta = change.newEnd - change.oldEnd;
    const EditWalk walk{
        text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length + delta)),
        stops,
        {metrics_.tabWidth, metrics_.columnsPerRow},
        change.start - info.start,
        change.oldEnd - info.start,
        change.newEnd - info.start};
    const WalkEnd end = WalkAcross(walk);
    if (end.tooFar)
        return false;
    const int64_t cells = end.inStep ? cellsOf(line) + end.shift : end.column;
    // Flags the walk did not see set again stand as they were, unless the
    // replaced units may have held the only unit that set them.
    const bool removed = walk.oldEnd > walk.from;
    if ((info.hasTab && !end.tab && removed) || (info.hasComplex && !end.complex && removed))
        return false;
    out.add(info.start, info.start + static_cast<int64_t>(walk.units.size()), cells,
            end.tab || info.hasTab, end.complex || info.hasComplex);
    out.settle();
    out.rows = metrics_.columnsPerRow > 0 && cells > 0
                   ? (cells + metrics_.columnsPerRow - 1) / metrics_.columnsPerRow
                   : 1;
    return true;
}

void LineTable::remeasure(const TextBuffer& text, const LineMetrics& metrics) {
    // A line's cells and rows follow the tab width and the row width only,
    // and a row width only where a line reaches it, old or new; the first
    // rows and the widest line are kept current by every edit. So a view
    // change that leaves those alone only takes the new character width:
    // every resize without wrapping, a new font, and the two narrowings of
    // a window opened on a long file, as the scroll bar and the line
    // numbers take their room.
    const bool rowsStay = metrics.columnsPerRow == metrics_.columnsPerRow ||
                          widths_.widest() < std::min(RowLimit(metrics_.columnsPerRow),
                                                      RowLimit(metrics.columnsPerRow));
    if (!empty() && static_cast<int64_t>(text.size()) == textLength_ &&
        metrics.tabWidth == metrics_.tabWidth && rowsStay) {
        metrics_ = metrics;
        return;
    }
    if (empty() || metrics.tabWidth != metrics_.tabWidth ||
        static_cast<int64_t>(text.size()) != textLength_ ||
        (metrics.columnsPerRow != metrics_.columnsPerRow && !rewrapLines(text, metrics))) {
        rebuild(text, metrics);
        return;
    }
    metrics_ = metrics;
    retop();
    recountWidths();
    settleWidest(text);
}

bool LineTable::rewrapLines(const TextBuffer& text, const LineMetrics& metrics) {
    const int64_t limit =
        std::min(RowLimit(metrics_.columnsPerRow), RowLimit(metrics.columnsPerRow));
    const CellRules rules{metrics.tabWidth, metrics.columnsPerRow};
    for (int32_t i = 0; i < size(); ++i) {
        const uint32_t shape = shapes_[static_cast<size_t>(i)];
        if ((shape & (kHasTab | kHasComplex)) == 0 || cellsOf(i) < limit)
            continue;
        const int64_t cells = MeasureLineAt(text, starts_[i], rules).cells;
        const bool wasWide = (shape >> kCellsShift) == kWideCells;
        const auto at =
            std::lower_bound(wide_.begin(), wide_.end(), i,
                             [](const WideLine& wide, int32_t line) { return wide.line < line; });
        if (cells >= kWideCells) {
            if (!wasWide)
                return false;
            at->cells = cells;
            continue;
        }
        if (wasWide)
            wide_.erase(at);
        shapes_.set(static_cast<size_t>(i), MeasuredShape(shape, cells));
    }
    return true;
}

LineInfo LineTable::operator[](int32_t line) const {
    const uint32_t shape = shapes_[static_cast<size_t>(line)];
    const int32_t start = starts_[line];
    const int64_t next = line + 1 < size() ? starts_[line + 1] : textLength_;
    return {start, static_cast<int32_t>(next - start - (shape & kBreakMask)),
            Saturate32(rowsOf(line)), (shape & kHasTab) != 0, (shape & kHasComplex) != 0};
}

int32_t LineTable::lineOfPosition(int32_t position) const {
    return std::max(starts_.upperBound(0, position) - 1, 0);
}

int32_t LineTable::lineAtRow(int64_t row) const {
    return std::max(tops_.upperBound(0, Saturate32(row)) - 1, 0);
}

void LineTable::replaceLines(int32_t first, int32_t resume, const Scan& fresh, int32_t lengthDelta,
                             int32_t topDelta) {
    for (int32_t i = first; i < resume; ++i)
        (measured(i) ? widths_ : bounds_).remove(cellsOf(i));
    const int64_t top = tops_[first];
    // The break ending the last measured line reaches the first line kept.
    const bool followed = resume < size();
    const int64_t keptStart = followed ? int64_t{starts_[resume]} + lengthDelta : 0;
    replaceWide(first, resume, fresh);
    const auto count = static_cast<int32_t>(fresh.shapes.size());
    starts_.replace(first, resume, count, lengthDelta);
    tops_.replace(first, resume, count, topDelta);
    shapes_.splice(static_cast<size_t>(first), static_cast<size_t>(resume),
                   static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        starts_.set(first + i, fresh.starts[i]);
        tops_.set(first + i, Saturate32(top + fresh.tops[i]));
        shapes_.set(static_cast<size_t>(first + i), fresh.shapes[static_cast<size_t>(i)]);
    }
    if (followed) {
        const auto last = static_cast<size_t>(first + count - 1);
        shapes_.set(last, shapes_[last] | static_cast<uint32_t>(keptStart - fresh.lastEnd));
    }
    for (int32_t i = first; i < first + count; ++i)
        (measured(i) ? widths_ : bounds_).add(cellsOf(i));
}

void LineTable::replaceWide(int32_t first, int32_t resume, const Scan& fresh) {
    const auto before = [](const WideLine& wide, int32_t line) { return wide.line < line; };
    auto from = std::lower_bound(wide_.begin(), wide_.end(), first, before);
    const auto to = std::lower_bound(from, wide_.end(), resume, before);
    const auto moved = static_cast<int32_t>(fresh.shapes.size()) - (resume - first);
    for (auto it = to; it != wide_.end(); ++it)
        it->line += moved;
    from = wide_.erase(from, to);
    from = wide_.insert(from, fresh.wide.begin(), fresh.wide.end());
    for (size_t i = 0; i < fresh.wide.size(); ++i, ++from)
        from->line += first;
}

void LineTable::swapStorage(Scan& scan) {
    std::swap(starts_, scan.starts);
    std::swap(tops_, scan.tops);
    std::swap(shapes_, scan.shapes);
    std::swap(wide_, scan.wide);
    std::swap(widths_, scan.widths);
    std::swap(bounds_, scan.bounds);
}

int64_t LineTable::cellsOf(int32_t line) const {
    const uint32_t cells = shapes_[static_cast<size_t>(line)] >> kCellsShift;
    if (cells != kWideCells)
        return cells;
    return std::lower_bound(wide_.begin(), wide_.end(), line,
                            [](const WideLine& wide, int32_t at) { return wide.line < at; })
        ->cells;
}

int64_t LineTable::rowsOf(int32_t line) const {
    const int64_t perRow = metrics_.columnsPerRow;
    const int64_t cells = perRow > 0 ? cellsOf(line) : 0;
    return cells > 0 ? (cells + perRow - 1) / perRow : 1;
}

void LineTable::retop() {
    tops_.clear();
    int64_t rowsAbove = 0;
    for (int32_t i = 0; i < size(); ++i) {
        tops_.push_back(Saturate32(rowsAbove));
        rowsAbove += rowsOf(i);
    }
    rowSum_ = rowsAbove;
}

bool LineTable::measured(int32_t line) const {
    return (shapes_[static_cast<size_t>(line)] & kUnmeasured) == 0;
}

void LineTable::settleWidest(const TextBuffer& text) {
    // Measures from the widest bound down, a band of bounds at a time, as
    // few lines as tell the widest. The first band reaches a little below
    // the widest line measured, so that narrowing it a cell at a time does
    // not walk the table at every keystroke.
    const CellRules rules{metrics_.tabWidth, metrics_.columnsPerRow};
    for (int64_t band = 16; bounds_.widest() > widths_.widest(); band *= 4) {
        const int64_t below = std::max(widths_.widest() - 8, bounds_.widest() - band);
        for (int32_t i = 0; i < size(); ++i) {
            const uint32_t shape = shapes_[static_cast<size_t>(i)];
            const int64_t bound = shape >> kCellsShift;
            if ((shape & kUnmeasured) == 0 || bound <= below)
                continue;
            // Below the bound, and so counted in place: no memory needed. A
            // line narrower than a row keeps its one row.
            const int64_t cells = MeasureLineAt(text, starts_[i], rules).cells;
            bounds_.remove(bound);
            widths_.add(cells);
            shapes_.set(static_cast<size_t>(i), MeasuredShape(shape, cells));
        }
    }
}

void LineTable::recountWidths() {
    WidthCounts counted;
    WidthCounts bounded;
    for (int32_t i = 0; i < size(); ++i)
        (measured(i) ? counted : bounded).add(cellsOf(i));
    std::swap(widths_, counted);
    std::swap(bounds_, bounded);
}
