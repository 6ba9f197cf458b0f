// Plain substring search over UTF-16 text for find and replace: case folding
// for A-Z only, whole words judged by their two neighbours, no wrap-around.
// Positions are code-unit indexes; starting points outside the text are
// clamped to it.
//
// An occurrence is any place where the pattern's units appear. A match is an
// occurrence that also passes the options and does not cut a character
// (editctl/characters.h: a surrogate pair, a CR LF pair, a letter and its
// combining marks, a flag, an emoji sequence) in two: replacing half of one
// would leave a broken character or a stray line break behind.
#pragma once

#include "fileio/text_encode.h"
#include "fileio/text_units.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// The text a search runs over, in one piece or in several read as one.
// It views the pieces, which must outlive it.
class SearchText {
  public:
    SearchText(TextPieces pieces);
    SearchText(std::u16string_view text) : SearchText(TextPieces(&text, 1)) {}
    template <typename Text>
    requires std::convertible_to<const Text&, std::u16string_view> SearchText(const Text& text)
        : SearchText(std::u16string_view(text)) {}

    int32_t size() const { return size_; }
    char16_t operator[](int32_t i) const;
    // The units from i to the end of the piece holding it; empty at the end.
    std::u16string_view from(int32_t i) const;
    // The units from the start of the piece holding i - 1 up to i; i > 0.
    std::u16string_view upTo(int32_t i) const;
    // The units [from, to): in place within one piece, else joined into `joined`.
    std::u16string_view range(int32_t from, int32_t to, std::u16string& joined) const;

  private:
    size_t pieceOf(int32_t i) const;

    std::vector<std::u16string_view> pieces_;
    std::vector<int32_t> starts_;
    int32_t size_ = 0;
    mutable size_t hint_ = 0; // the piece read last
};

// The first occurrence starting at or after `from`; -1 when there is none or
// the pattern is empty.
int32_t Find_FindFrom(const SearchText& text, std::u16string_view pattern, int32_t from,
                      bool caseSensitive);

// The first match starting at or after `from`; -1 when none.
int32_t Find_SearchDown(const SearchText& text, std::u16string_view pattern, int32_t from,
                        const SearchOptions& options);
// The last match starting at or before `limit`; -1 when none, always so for a
// negative limit. A match may reach past the limit.
int32_t Find_SearchUp(const SearchText& text, std::u16string_view pattern, int32_t limit,
                      const SearchOptions& options);
// The match a Find Next from this selection selects: down from its end, or up
// from one before its start (from the start itself when that is 0), so a
// selected match is found again only at the very start. -1 when none.
int32_t Find_NextMatch(const SearchText& text, std::u16string_view pattern, int32_t anchor,
                       int32_t caret, bool down, const SearchOptions& options);
// Replace All as the places of its matches, each in the text before it.
struct ReplaceAllMatches {
    std::vector<int32_t> positions;
    // The last inserted text's place in the new text; both 0 when none.
    int32_t lastStart = 0;
    int32_t lastEnd = 0;
    // The new text would be longer than allowed; nothing is to be replaced.
    bool tooLong = false;
};

// Every match Replace All replaces, searching down from the start of the
// text and going on after each inserted text, so a replacement is never
// searched again and the result is the same as repeating Replace on each
// next match.
ReplaceAllMatches Find_ReplaceAllMatches(const SearchText& text, std::u16string_view pattern,
                                         std::u16string_view replacement,
                                         const SearchOptions& options,
                                         int64_t maxLength = kMaxTextLength);

// Replace All as one change: old text[start, end) becomes `replacement`.
struct ReplaceAllResult {
    int32_t count = 0;
    int32_t start = 0;
    int32_t end = 0;
    std::u16string replacement;
    // The last inserted text's place in the new text; both 0 when count is 0.
    int32_t lastStart = 0;
    int32_t lastEnd = 0;
    // The new text would be longer than allowed; nothing is replaced.
    bool tooLong = false;
};

// Find_ReplaceAllMatches with the changed span spelled out.
ReplaceAllResult Find_ReplaceAll(const SearchText& text, std::u16string_view pattern,
                                 std::u16string_view replacement, const SearchOptions& options,
                                 int64_t maxLength = kMaxTextLength);
