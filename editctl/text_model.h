// Positions in the text and the two primitives every edit is made of. The
// primitives change only `text`: callers keep the selection, the histories
// and the layout in step.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>
#include <string_view>

struct LineLocation {
    int32_t line = 0;
    int32_t offset = 0; // within the line, 0..length: a break maps to its line's end
};

// The line holding a position clamped to the text; (0, 0) without lines.
LineLocation LocateLine(const TextModel& model, int32_t position);

// Removes up to `count` units at `position`; a position beyond the text throws std::out_of_range.
void EraseText(TextModel& model, int32_t position, int32_t count);
// Inserts before the unit at `position`; a position beyond the text throws
// std::out_of_range. `inserted` may view `text` itself.
void InsertText(TextModel& model, int32_t position, std::u16string_view inserted);

// The selection as [low, high).
inline int32_t SelectionLow(const TextModel& model) {
    return model.anchor < model.caret ? model.anchor : model.caret;
}
inline int32_t SelectionHigh(const TextModel& model) {
    return model.anchor < model.caret ? model.caret : model.anchor;
}
inline int32_t TextLength(const TextModel& model) {
    return static_cast<int32_t>(model.text.size());
}
