// Every change of the text goes through these operations. Each edits the
// text model (the text, its lines, the selection, the history) and makes
// one change record of it, which the layout and the effects then follow
// (change_flow.h): the caret scrolled into view, a full repaint, CEN_CHANGE.
//
// Each is all or nothing. One that would make the text longer than
// `maxLength` changes nothing and sets `effects.tooLong`; while the history
// is read-only each changes nothing and sets `effects.readOnly`. One that
// runs out of memory throws std::bad_alloc (or std::length_error) with the
// record exactly as it was.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Removes the selection, or else the character (characters.h) after the
// caret when `forward`; before it otherwise, where a letter's combining mark
// goes on its own (BackspaceStop). Finishes as an edit even when nothing
// was removed.
void DeleteAtCaret(EditState& s, bool forward);
// Deletes a non-empty selection as an edit; with nothing selected nothing happens.
void DeleteSelection(EditState& s);
// Replaces the selection with `inserted` (which may be empty); the caret
// ends after it with nothing selected. `inserted` must not view `s.model.text`.
void ReplaceSelection(EditState& s, std::u16string_view inserted);
// Replaces text[start, end) (clamped, and widened over a surrogate pair
// either end would cut) with `inserted` as one undo step and selects the
// inserted text, the caret at its end.
void ReplaceRange(EditState& s, int32_t start, int32_t end, std::u16string inserted);
// Replace All: puts `inserted` in place of `length` units at each of
// `positions` (ascending; one inside the match before it or running past
// the text is left out) as one undo step that keeps no copy of the text
// between them, and selects from the first place to the end of the last
// insertion. Nothing happens when no position is left.
void ReplaceMatches(EditState& s, std::vector<int32_t> positions, int32_t length,
                    std::u16string_view inserted);
// Revert the newest step (a record, or records joined into one) of one
// history onto the other. Nothing at all happens when the history is empty;
// `modified` is left alone.
void Undo(EditState& s);
void Redo(EditState& s);

// A character message's code unit: Tab, Enter and units from 32 up insert
// text; other control units are ignored.
void TypeCharacter(EditState& s, char16_t unit);
