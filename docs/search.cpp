#include "docs/search.h"

#include <algorithm>

namespace {

int32_t Length(std::u16string_view text) {
    return static_cast<int32_t>(text.size());
}

// Whether a match boundary between these two units would cut a character.
bool CutsPair(char16_t before, char16_t after) {
    return (IsHighSurrogate(before) && IsLowSurrogate(after)) || (before == kCr && after == kLf);
}

char16_t UnitBefore(std::u16string_view text, int32_t position) {
    return position > 0 ? text[position - 1] : 0;
}

// Whether the pattern is at `position`, A-Z folded.
bool FoldedEqualAt(std::u16string_view text, int32_t position, std::u16string_view pattern) {
    const std::u16string_view here = text.substr(position, pattern.size());
    return std::equal(here.begin(), here.end(), pattern.begin(), pattern.end(),
                      [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
}

// Whether the occurrence at `position` is a match; `before` is the unit in
// front of it (0 at the start), which Replace All takes from its output.
bool Passes(std::u16string_view text, int32_t position, int32_t length, char16_t before,
            const SearchOptions& options) {
    const int32_t end = position + length;
    const char16_t after = end < Length(text) ? text[end] : 0;
    if (CutsPair(before, text[position]) || CutsPair(text[end - 1], after))
        return false;
    return !options.wholeWord || (!IsWordUnit(before) && !IsWordUnit(after));
}

// Find_SearchDown with `before` standing for the unit in front of `from`.
int32_t MatchFrom(std::u16string_view text, std::u16string_view pattern, int32_t from,
                  char16_t before, const SearchOptions& options) {
    from = std::clamp(from, 0, Length(text));
    const int32_t length = Length(pattern);
    for (int32_t p = Find_FindFrom(text, pattern, from, options.matchCase); p >= 0;
         p = Find_FindFrom(text, pattern, p + 1, options.matchCase)) {
        if (Passes(text, p, length, p == from ? before : text[p - 1], options))
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
    return MatchFrom(text, pattern, from, UnitBefore(text, from), options);
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
        if (Passes(text, p, length, UnitBefore(text, p), options))
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
    int32_t resume = 0;  // where the old text goes on after the last match
    char16_t before = 0; // the unit in front of `resume` in the text as replaced so far
    for (int32_t p = MatchFrom(text, pattern, 0, 0, options); p >= 0;
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
        before =
            result.replacement.empty() ? UnitBefore(text, result.start) : result.replacement.back();
    }
    result.end = result.count > 0 ? resume : 0;
    result.lastEnd = result.start + Length(result.replacement);
    return result;
}
