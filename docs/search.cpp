#include "docs/search.h"

#include "editctl/characters.h"

#include <algorithm>

SearchText::SearchText(TextPieces pieces) {
    pieces_.reserve(pieces.size());
    starts_.reserve(pieces.size());
    for (const std::u16string_view piece : pieces) {
        if (piece.empty())
            continue;
        pieces_.push_back(piece);
        starts_.push_back(size_);
        size_ += static_cast<int32_t>(piece.size());
    }
}

size_t SearchText::pieceOf(int32_t i) const {
    if (hint_ < pieces_.size() && starts_[hint_] <= i &&
        i - starts_[hint_] < static_cast<int32_t>(pieces_[hint_].size()))
        return hint_;
    hint_ =
        static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin()) -
        1;
    return hint_;
}

char16_t SearchText::operator[](int32_t i) const {
    const size_t k = pieceOf(i);
    return pieces_[k][static_cast<size_t>(i - starts_[k])];
}

std::u16string_view SearchText::from(int32_t i) const {
    if (i >= size_)
        return {};
    const size_t k = pieceOf(i);
    return pieces_[k].substr(static_cast<size_t>(i - starts_[k]));
}

std::u16string_view SearchText::upTo(int32_t i) const {
    const size_t k = pieceOf(i - 1);
    return pieces_[k].substr(0, static_cast<size_t>(i - starts_[k]));
}

std::u16string_view SearchText::range(int32_t from, int32_t to, std::u16string& joined) const {
    const std::u16string_view first = this->from(from);
    if (static_cast<int64_t>(first.size()) >= to - from)
        return first.substr(0, static_cast<size_t>(to - from));
    joined.clear();
    for (int32_t i = from; i < to; i = from + static_cast<int32_t>(joined.size()))
        joined.append(this->from(i).substr(0, static_cast<size_t>(to - i)));
    return joined;
}

namespace {

// What lies in front of a place: the cluster rules' state there and the
// last unit, 0 for none.
struct Behind {
    ClusterState state;
    char16_t last = 0;
};

// What lies in front of `added` put after `behind`; looks back into `added`
// only as far as the cluster rules need.
Behind Followed(const Behind& behind, std::u16string_view added) {
    if (added.empty())
        return behind;
    return {ClusterStateAfter(added, behind.state), added.back()};
}

bool SameState(const ClusterState& a, const ClusterState& b) {
    return a.last == b.last && a.pictographic == b.pictographic &&
           a.joinsPictograph == b.joinsPictograph && a.oddRegional == b.oddRegional;
}

// What lies in front of `to` once text[from, to) follows `atFrom`. The rules
// look back only along a run of marks or of regional indicators, so a short
// window before `to` nearly always decides, read in place unless it spans
// two pieces; it widens while what lies before it could change the answer.
Behind FollowedBy(const Behind& atFrom, const SearchText& text, int32_t from, int32_t to) {
    std::u16string joined;
    for (int32_t width = 64;; width *= 2) {
        int32_t start = std::max(to - width, from);
        if (start > from && IsLowSurrogate(text[start]))
            --start; // a pair stays whole
        const std::u16string_view window = text.range(start, to, joined);
        if (start == from)
            return Followed(atFrom, window);
        // The state in front of the window works through two flags alone;
        // when setting both changes nothing, neither does what lies there.
        const Behind open = Followed({}, window);
        const ClusterState joining{GraphemeBreak::RegionalIndicator, true, false, true};
        if (SameState(open.state, ClusterStateAfter(window, joining)))
            return open;
    }
}

Behind BehindAt(const SearchText& text, int32_t position) {
    return FollowedBy({}, text, 0, position);
}

// Whether a match boundary at `position` with `behind` in front of it would
// cut a character: a surrogate pair, CR LF, a letter and its marks, a flag,
// an emoji sequence.
bool CutsCharacter(const Behind& behind, const SearchText& text, int32_t position) {
    if (position >= text.size())
        return false;
    const char16_t unit = text[position];
    if (IsHighSurrogate(behind.last) && IsLowSurrogate(unit))
        return true;
    const char16_t next = position + 1 < text.size() ? text[position + 1] : char16_t{0};
    const char32_t c =
        IsHighSurrogate(unit) && IsLowSurrogate(next) ? CombineSurrogates(unit, next) : unit;
    return !BreaksBefore(behind.state, c);
}

// The unit that folds to the same as `unit`: its other case for A-Z and a-z.
char16_t OtherCase(char16_t unit) {
    if (unit >= u'A' && unit <= u'Z')
        return static_cast<char16_t>(unit + 32);
    if (unit >= u'a' && unit <= u'z')
        return static_cast<char16_t>(unit - 32);
    return unit;
}

constexpr size_t kBlock = 32;

// Whether a block of kBlock units holds `a` or `b`. No branch inside, so
// the compiler makes it a few vector compares.
bool BlockHolds(const char16_t* units, char16_t a, char16_t b) {
    unsigned hit = 0;
    for (size_t k = 0; k < kBlock; ++k)
        hit |= static_cast<unsigned>(units[k] == a) | static_cast<unsigned>(units[k] == b);
    return hit != 0;
}

// The first place in [from, limit) holding `a` or `b`; limit when none.
int32_t FindEither(const SearchText& text, int32_t from, int32_t limit, char16_t a, char16_t b) {
    while (from < limit) {
        const std::u16string_view piece =
            text.from(from).substr(0, static_cast<size_t>(limit - from));
        const char16_t* units = piece.data();
        size_t p = 0;
        while (p + kBlock <= piece.size() && !BlockHolds(units + p, a, b))
            p += kBlock;
        while (p < piece.size() && units[p] != a && units[p] != b)
            ++p;
        if (p < piece.size())
            return from + static_cast<int32_t>(p);
        from += static_cast<int32_t>(piece.size());
    }
    return limit;
}

// The last place at or before `from` (< text.size()) holding `a` or `b`; -1 when none.
int32_t FindEitherBackward(const SearchText& text, int32_t from, char16_t a, char16_t b) {
    for (int32_t end = from + 1; end > 0;) {
        const std::u16string_view piece = text.upTo(end);
        const char16_t* units = piece.data();
        size_t left = piece.size(); // the units before `left` are left to test
        while (left >= kBlock && !BlockHolds(units + left - kBlock, a, b))
            left -= kBlock;
        while (left > 0 && units[left - 1] != a && units[left - 1] != b)
            --left;
        if (left > 0)
            return end - static_cast<int32_t>(piece.size() - left) - 1;
        end -= static_cast<int32_t>(piece.size());
    }
    return -1;
}

// Whether the pattern is at `position`, A-Z folded unless the case must match.
bool EqualAt(const SearchText& text, int32_t position, std::u16string_view pattern,
             bool caseSensitive) {
    if (position + static_cast<int64_t>(pattern.size()) > text.size())
        return false;
    for (size_t k = 0; k < pattern.size(); ++k) {
        const char16_t unit = text[position + static_cast<int32_t>(k)];
        if (caseSensitive ? unit != pattern[k] : FoldAsciiCase(unit) != FoldAsciiCase(pattern[k]))
            return false;
    }
    return true;
}

// How common a unit is in text, 0 the most: space, then the letters of
// English from e to z, then all the rest.
int Commonness(char16_t unit) {
    static constexpr std::u16string_view kLetters = u"etaoinshrdlcumwfgypbvkjxqz";
    if (unit == u' ')
        return 0;
    const size_t letter = kLetters.find(FoldAsciiCase(unit));
    return letter == std::u16string_view::npos ? 99 : 1 + static_cast<int>(letter);
}

// The pattern unit a search scans the text for, the likely rarest, in
// either case when folding: fewer candidates to try the whole pattern at.
struct Probe {
    size_t offset = 0; // in the pattern
    char16_t unit = 0;
    char16_t other = 0;
};

Probe ProbeFor(std::u16string_view pattern, bool caseSensitive) {
    size_t offset = 0;
    for (size_t k = 1; k < pattern.size(); ++k) {
        if (Commonness(pattern[k]) > Commonness(pattern[offset]))
            offset = k;
    }
    const char16_t unit = pattern[offset];
    return {offset, unit, caseSensitive ? unit : OtherCase(unit)};
}

// Whether the occurrence at `position` is a match; `before` holds the units
// in front of it, which Replace All takes from its output.
bool Passes(const SearchText& text, int32_t position, int32_t length, Behind before,
            const SearchOptions& options) {
    const int32_t end = position + length;
    if (CutsCharacter(before, text, position) ||
        CutsCharacter(FollowedBy(before, text, position, end), text, end))
        return false;
    const char16_t after = end < text.size() ? text[end] : char16_t{0};
    return !options.wholeWord || (!IsWordUnit(before.last) && !IsWordUnit(after));
}

// Find_SearchDown with `before` standing for the units in front of `from`.
int32_t MatchFrom(const SearchText& text, std::u16string_view pattern, int32_t from, Behind before,
                  const SearchOptions& options) {
    from = std::clamp(from, 0, text.size());
    const auto length = static_cast<int32_t>(pattern.size());
    for (int32_t p = Find_FindFrom(text, pattern, from, options.matchCase); p >= 0;
         p = Find_FindFrom(text, pattern, p + 1, options.matchCase)) {
        if (Passes(text, p, length, p == from ? before : BehindAt(text, p), options))
            return p;
    }
    return -1;
}

// The last occurrence starting at or before `limit` (0 <= limit <= L - n).
int32_t LastOccurrence(const SearchText& text, std::u16string_view pattern, int32_t limit,
                       bool caseSensitive) {
    const Probe probe = ProbeFor(pattern, caseSensitive);
    const auto offset = static_cast<int32_t>(probe.offset);
    for (int32_t q = limit + offset;; --q) {
        q = FindEitherBackward(text, q, probe.unit, probe.other);
        if (q < offset)
            return -1;
        if (EqualAt(text, q - offset, pattern, caseSensitive))
            return q - offset;
        if (q == 0)
            return -1;
    }
}

} // namespace

int32_t Find_FindFrom(const SearchText& text, std::u16string_view pattern, int32_t from,
                      bool caseSensitive) {
    const auto length = static_cast<int32_t>(pattern.size());
    if (pattern.empty() || length > text.size())
        return -1;
    const int32_t start = std::clamp(from, 0, text.size());
    const Probe probe = ProbeFor(pattern, caseSensitive);
    const auto offset = static_cast<int32_t>(probe.offset);
    // The probe's places in occurrences where the whole pattern still fits.
    const int32_t limit = text.size() - length + 1 + offset;
    for (int32_t q = FindEither(text, start + offset, limit, probe.unit, probe.other); q < limit;
         q = FindEither(text, q + 1, limit, probe.unit, probe.other)) {
        if (EqualAt(text, q - offset, pattern, caseSensitive))
            return q - offset;
    }
    return -1;
}

int32_t Find_SearchDown(const SearchText& text, std::u16string_view pattern, int32_t from,
                        const SearchOptions& options) {
    from = std::clamp(from, 0, text.size());
    return MatchFrom(text, pattern, from, BehindAt(text, from), options);
}

int32_t Find_SearchUp(const SearchText& text, std::u16string_view pattern, int32_t limit,
                      const SearchOptions& options) {
    const auto length = static_cast<int32_t>(pattern.size());
    if (length == 0 || length > text.size() || limit < 0)
        return -1;
    for (int32_t p = std::min(limit, text.size() - length); p >= 0; --p) {
        p = LastOccurrence(text, pattern, p, options.matchCase);
        if (p < 0)
            return -1;
        if (Passes(text, p, length, BehindAt(text, p), options))
            return p;
    }
    return -1;
}

int32_t Find_NextMatch(const SearchText& text, std::u16string_view pattern, int32_t anchor,
                       int32_t caret, bool down, const SearchOptions& options) {
    anchor = std::clamp(anchor, 0, text.size());
    caret = std::clamp(caret, 0, text.size());
    if (down)
        return Find_SearchDown(text, pattern, std::max(anchor, caret), options);
    return Find_SearchUp(text, pattern, std::max(std::min(anchor, caret) - 1, 0), options);
}

ReplaceAllMatches Find_ReplaceAllMatches(const SearchText& text, std::u16string_view pattern,
                                         std::u16string_view replacement,
                                         const SearchOptions& options, int64_t maxLength) {
    ReplaceAllMatches result;
    const auto length = static_cast<int32_t>(pattern.size());
    const int64_t growth = static_cast<int64_t>(replacement.size()) - length;
    int64_t newLength = text.size();
    int32_t resume = 0; // where the old text goes on after the last match
    Behind before;      // the units in front of `resume` in the text as replaced so far
    for (int32_t p = MatchFrom(text, pattern, 0, before, options); p >= 0;
         p = MatchFrom(text, pattern, resume, before, options)) {
        newLength += growth;
        if (growth > 0 && newLength > maxLength)
            return {{}, 0, 0, true};
        result.positions.push_back(p);
        before = Followed(FollowedBy(before, text, resume, p), replacement);
        resume = p + length;
    }
    if (!result.positions.empty()) {
        const int64_t shifted = static_cast<int64_t>(result.positions.size() - 1) * growth;
        result.lastStart = static_cast<int32_t>(result.positions.back() + shifted);
        result.lastEnd = result.lastStart + static_cast<int32_t>(replacement.size());
    }
    return result;
}

ReplaceAllResult Find_ReplaceAll(const SearchText& text, std::u16string_view pattern,
                                 std::u16string_view replacement, const SearchOptions& options,
                                 int64_t maxLength) {
    const ReplaceAllMatches matches =
        Find_ReplaceAllMatches(text, pattern, replacement, options, maxLength);
    ReplaceAllResult result;
    result.tooLong = matches.tooLong;
    if (matches.positions.empty())
        return result;
    const auto length = static_cast<int32_t>(pattern.size());
    result.count = static_cast<int32_t>(matches.positions.size());
    result.start = matches.positions.front();
    result.end = matches.positions.back() + length;
    int32_t resume = result.start;
    for (const int32_t p : matches.positions) {
        for (; resume < p; ++resume)
            result.replacement.push_back(text[resume]);
        result.replacement.append(replacement);
        resume = p + length;
    }
    result.lastStart = matches.lastStart;
    result.lastEnd = matches.lastEnd;
    return result;
}
