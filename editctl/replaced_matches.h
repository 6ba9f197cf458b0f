// Replace All as one edit: every match given way to the same text, and back,
// each in one pass that builds the new text whole. The record keeps the
// matches' places and units, never the text between them.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The record of putting `inserted` in place of `length` units at each of
// `positions`. A position before the end of the match ahead of it, or one
// whose match runs past the text, is left out; null when none is left.
std::shared_ptr<const ReplacedMatches> CollectMatches(const TextBuffer& text,
                                                      std::vector<int32_t> positions,
                                                      int32_t length, std::u16string_view inserted);

// What the current text becomes: the inserted text put in place of the
// matches (`putInserted`), or the matches' units put back in its place.
int64_t RebuiltLength(const TextBuffer& text, const ReplacedMatches& m, bool putInserted);
std::u16string RebuiltText(const TextBuffer& text, const ReplacedMatches& m, bool putInserted);
// The span of the current text that changes, for the relayout.
TextChange RebuiltChange(const ReplacedMatches& m, bool putInserted);
// Where the last piece put ends in the rebuilt text.
int32_t RebuiltEnd(const ReplacedMatches& m, bool putInserted);
