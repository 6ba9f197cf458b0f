#include "docs/search.h"

#include "editctl/characters.h"

#include <algorithm>

namespace {

int32_t Length(std::u16string_view text) {
    return static_cast<int32_t>(text.size());
}

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

Behind BehindAt(std::u16string_view text, int32_t position) {
    return Followed({}, text.substr(0, static_cast<size_t>(position)));
}

// Whether a match boundary with `behind` in front and `after` from there on
// would cut a character: a surrogate pair, CR LF, a letter and its marks,
// a flag, an emoji sequence.
bool CutsCharacter(const Behind& behind, std::u16string_view after) {
    if (after.empty())
        return false;
    if (IsHighSurrogate(behind.last) && IsLowSurrogate(after[0]))
        return true;
    return !BreaksBefore(behind.state, CodePointAt(after, 0));
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

// The first place at or after `from` holding `a` or `b`; text.size() when none.
size_t FindEither(std::u16string_view text, size_t from, char16_t a, char16_t b) {
    const char16_t* units = text.data();
    size_t p = from;
    while (p + kBlock <= text.size() && !BlockHolds(units + p, a, b))
        p += kBlock;
    while (p < text.size() && units[p] != a && units[p] != b)
        ++p;
    return std::min(p, text.size());
}

// The last place at or before `from` (< text.size()) holding `a` or `b`; npos when none.
size_t FindEitherBackward(std::u16string_view text, size_t from, char16_t a, char16_t b) {
    const char16_t* units = text.data();
    size_t end = from + 1; // the units before `end` are left to test
    while (end >= kBlock && !BlockHolds(units + end - kBlock, a, b))
        end -= kBlock;
    while (end > 0 && units[end - 1] != a && units[end - 1] != b)
        --end;
    return end == 0 ? std::u16string_view::npos : end - 1;
}

// Whether the pattern is at `position`, A-Z folded unless the case must match.
bool EqualAt(std::u16string_view text, size_t position, std::u16string_view pattern,
             bool caseSensitive) {
    const std::u16string_view here = text.substr(position, pattern.size());
    if (caseSensitive)
        return here == pattern;
    return std::equal(here.begin(), here.end(), pattern.begin(), pattern.end(),
                      [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
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
bool Passes(std::u16string_view text, int32_t position, int32_t length, Behind before,
            const SearchOptions& options) {
    const int32_t end = position + length;
    const std::u16string_view rest = text.substr(end);
    if (CutsCharacter(before, text.substr(position)) ||
        CutsCharacter(Followed(before, text.substr(position, length)), rest))
        return false;
    const char16_t after = rest.empty() ? char16_t{0} : rest[0];
    return !options.wholeWord || (!IsWordUnit(before.last) && !IsWordUnit(after));
}

// Find_SearchDown with `before` standing for the units in front of `from`.
int32_t MatchFrom(std::u16string_view text, std::u16string_view pattern, int32_t from,
                  Behind before, const SearchOptions& options) {
    from = std::clamp(from, 0, Length(text));
    const int32_t length = Length(pattern);
    for (int32_t p = Find_FindFrom(text, pattern, from, options.matchCase); p >= 0;
         p = Find_FindFrom(text, pattern, p + 1, options.matchCase)) {
        if (Passes(text, p, length, p == from ? before : BehindAt(text, p), options))
            return p;
    }
    return -1;
}

// The last occurrence starting at or before `limit` (0 <= limit <= L - n).
int32_t LastOccurrence(std::u16string_view text, std::u16string_view pattern, int32_t limit,
                       bool caseSensitive) {
    const Probe probe = ProbeFor(pattern, caseSensitive);
    for (size_t q = static_cast<size_t>(limit) + probe.offset;; --q) {
        q = FindEitherBackward(text, q, probe.unit, probe.other);
        if (q == std::u16string_view::npos || q < probe.offset)
            return -1;
        if (EqualAt(text, q - probe.offset, pattern, caseSensitive))
            return static_cast<int32_t>(q - probe.offset);
        if (q == 0)
            return -1;
    }
}

} // namespace

int32_t Find_FindFrom(std::u16string_view text, std::u16string_view pattern, int32_t from,
                      bool caseSensitive) {
    if (pattern.empty() || pattern.size() > text.size())
        return -1;
    const auto start = static_cast<size_t>(std::clamp(from, 0, Length(text)));
    const Probe probe = ProbeFor(pattern, caseSensitive);
    // The probe's places in occurrences where the whole pattern still fits.
    const std::u16string_view probed =
        text.substr(0, text.size() - pattern.size() + 1 + probe.offset);
    for (size_t q = FindEither(probed, start + probe.offset, probe.unit, probe.other);
         q < probed.size(); q = FindEither(probed, q + 1, probe.unit, probe.other)) {
        if (EqualAt(text, q - probe.offset, pattern, caseSensitive))
            return static_cast<int32_t>(q - probe.offset);
    }
    return -1;
}

int32_t Find_SearchDown(std::u16string_view text, std::u16string_view pattern, int32_t from,
                        const SearchOptions& options) {
    from = std::clamp(from, 0, Length(text));
    return MatchFrom(text, pattern, from, BehindAt(text, from), options);
}

int32_t Find_SearchUp(std::u16string_view text, std::u16string_view pattern, int32_t limit,
                      const SearchOptions& options) {
    const int32_t length = Length(pattern);
    if (length == 0 || length > Length(text) || limit < 0)
        return -1;
    for (int32_t p = std::min(limit, Length(text) - length); p >= 0; --p) {
        p = LastOccurrence(text, pattern, p, options.matchCase);
        if (p < 0)
            return -1;
        if (Passes(text, p, length, BehindAt(text, p), options))
            return p;
    }
    return -1;
}

int32_t Find_NextMatch(std::u16string_view text, std::u16string_view pattern, int32_t anchor,
                       int32_t caret, bool down, const SearchOptions& options) {
    anchor = std::clamp(anchor, 0, Length(text));
    caret = std::clamp(caret, 0, Length(text));
    if (down)
        return Find_SearchDown(text, pattern, std::max(anchor, caret), options);
    return Find_SearchUp(text, pattern, std::max(std::min(anchor, caret) - 1, 0), options);
}

ReplaceAllMatches Find_ReplaceAllMatches(std::u16string_view text, std::u16string_view pattern,
                                         std::u16string_view replacement,
                                         const SearchOptions& options, int64_t maxLength) {
    ReplaceAllMatches result;
    const int64_t growth = static_cast<int64_t>(replacement.size()) - Length(pattern);
    int64_t newLength = Length(text);
    int32_t resume = 0; // where the old text goes on after the last match
    Behind before;      // the units in front of `resume` in the text as replaced so far
    for (int32_t p = MatchFrom(text, pattern, 0, before, options); p >= 0;
         p = MatchFrom(text, pattern, resume, before, options)) {
        newLength += growth;
        if (growth > 0 && newLength > maxLength)
            return {{}, 0, 0, true};
        result.positions.push_back(p);
        before = Followed(Followed(before, text.substr(resume, p - resume)), replacement);
        resume = p + Length(pattern);
    }
    if (!result.positions.empty()) {
        const int64_t shifted = static_cast<int64_t>(result.positions.size() - 1) * growth;
        result.lastStart = static_cast<int32_t>(result.positions.back() + shifted);
        result.lastEnd = result.lastStart + static_cast<int32_t>(replacement.size());
    }
    return result;
}

ReplaceAllResult Find_ReplaceAll(std::u16string_view text, std::u16string_view pattern,
                                 std::u16string_view replacement, const SearchOptions& options,
                                 int64_t maxLength) {
    const ReplaceAllMatches matches =
        Find_ReplaceAllMatches(text, pattern, replacement, options, maxLength);
    ReplaceAllResult result;
    result.tooLong = matches.tooLong;
    if (matches.positions.empty())
        return result;
    result.count = static_cast<int32_t>(matches.positions.size());
    result.start = matches.positions.front();
    result.end = matches.positions.back() + Length(pattern);
    int32_t resume = result.start;
    for (const int32_t p : matches.positions) {
        result.replacement.append(text.substr(resume, p - resume)).append(replacement);
        resume = p + Length(pattern);
    }
    result.lastStart = matches.lastStart;
    result.lastEnd = matches.lastEnd;
    return result;
}
