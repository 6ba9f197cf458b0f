// Word movement and word selection, by whole characters (characters.h),
// each judged by its first unit. Units fall in three classes: blanks
// (space, tab, CR, LF), word characters (ASCII letters, digits, underscore)
// and everything else, non-ASCII letters included.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>

// The start of the word or punctuation run before `position`, skipping blanks.
int32_t WordLeft(const TextModel& model, int32_t position);
// The end of the word or punctuation run after `position`, skipping blanks.
int32_t WordRight(const TextModel& model, int32_t position);
// Whether a word or punctuation run starts at `position`; 0 and the text's
// length always count.
bool IsWordStart(const TextModel& model, int32_t position);
// The first run start after `position`, or the text's length.
int32_t NextWordStart(const TextModel& model, int32_t position);
// Selects the run of one class under `position` within its logical line,
// the caret at the run's end; on an empty line just places the caret there.
void SelectWordAt(TextModel& model, int32_t position);
