#include "docs/search.h"

#include "editctl/characters.h"

#include <algorithm>

namespace {

int32_t Length(std::u16string_view text) {
    return static_cast<int32_t>(text.size());
}

// The two units in front of a place, nearest last; 0 stands for none.
struct Behind {
    char16_t previous = 0;
    char16_t last = 0;
};

Behind BehindAt(std::u16string_view text, int32_t position) {
    return {position > 1 ? text[position - 2] : char16_t{0},
            position > 0 ? text[position - 1] : char16_t{0}};
}

// The last two units of `head` followed by `tail`.
Behind LastTwo(std::u16string_view head, std::u16string_view tail) {
    if (tail.size() >= 2)
        return BehindAt(tail, Length(tail));
    if (tail.size() == 1)
        return {head.empty() ? char16_t{0} : head.back(), tail[0]};
    return BehindAt(head, Length(head));
}

// Whether a match boundary with `behind` in front and `after` from there on
// would cut a character: a surrogate pair, CR LF, or a letter and its marks.
bool CutsCharacter(Behind behind, std::u16string_view after) {
    if (after.empty())
        return false;
    const char16_t units[] = {behind.previous, behind.last, after[0],
                              after.size() > 1 ? after[1] : char16_t{0}};
    return !IsCharStop(std::u16string_view(units, after.size() > 1 ? 4 : 3), 2);
}

// Whether the pattern is at `position`, A-Z folded.
bool FoldedEqualAt(std::u16string_view text, int32_t position, std::u16string_view pattern) {
    const std::u16string_view here = text.substr(position, pattern.size());
    return std::equal(here.begin(), here.end(), pattern.begin(), pattern.end(),
                      [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
}

// Whether the occurrence at `position` is a match; `before` holds the units
// in front of it, which Replace All takes from its output.
bool Passes(std::u16string_view text, int32_t position, int32_t length, Behind before,
            const SearchOptions& options) {
    const int32_t end = position + length;
    const std::u16string_view rest = text.substr(end);
    const Behind beforeEnd = length > 1 ? BehindAt(text, end) : Behind{before.last, text[position]};
    if (CutsCharacter(before, text.substr(position)) || CutsCharacter(beforeEnd, rest))
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
    if (caseSensitive) {
        const size_t found = text.rfind(pattern, static_cast<size_t>(limit));
        return found == std::u16string_view::npos ? -1 : static_cast<int32_t>(found);
    }
    for (int32_t p = limit; p >= 0; --p) {
        if (FoldedEqualAt(text, p, pattern))
            return p;
    }
    return -1;
}

} // namespace

int32_t Find_FindFrom(std::u16string_view text, std::u16string_view pattern, int32_t from,
                      bool caseSensitive) {
    if (pattern.empty() || pattern.size() > text.size())
        return -1;
    const int32_t start = std::clamp(from, 0, Length(text));
    if (caseSensitive) {
        const size_t found = text.find(pattern, static_cast<size_t>(start));
        return found == std::u16string_view::npos ? -1 : static_cast<int32_t>(found);
    }
    const char16_t first = FoldAsciiCase(pattern[0]);
    const int32_t last = Length(text) - Length(pattern);
    for (int32_t p = start; p <= last; ++p) {
        if (FoldAsciiCase(text[p]) == first && FoldedEqualAt(text, p, pattern))
            return p;
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

ReplaceAllResult Find_ReplaceAll(std::u16string_view text, std::u16string_view pattern,
                                 std::u16string_view replacement, const SearchOptions& options,
                                 int64_t maxLength) {
    ReplaceAllResult result;
    const int64_t growth = static_cast<int64_t>(replacement.size()) - Length(pattern);
    int64_t newLength = Length(text);
    int32_t resume = 0; // where the old text goes on after the last match
    Behind before;      // the units in front of `resume` in the text as replaced so far
    for (int32_t p = MatchFrom(text, pattern, 0, before, options); p >= 0;
         p = MatchFrom(text, pattern, resume, before, options)) {
        newLength += growth;
        if (growth > 0 && newLength > maxLength) {
            ReplaceAllResult refused;
            refused.tooLong = true;
            return refused;
        }
        if (result.count == 0)
            result.start = p;
        else
            result.replacement.append(text.substr(resume, p - resume));
        result.lastStart = result.start + Length(result.replacement);
        result.replacement.append(replacement);
        ++result.count;
        resume = p + Length(pattern);
        before = LastTwo(text.substr(0, result.start), result.replacement);
    }
    result.end = result.count > 0 ? resume : 0;
    result.lastEnd = result.start + Length(result.replacement);
    return result;
}
