// The text side of copy and paste; opening and filling the clipboard is the
// window layer's part.
#pragma once

#include "editctl/edit_state.h"

#include <string>
#include <string_view>

// Writes the selected units as they are, breaks unconverted, and a
// terminating zero to `out`, which holds one unit more than the selection.
void WriteSelection(const TextModel& model, char16_t* out);
// Every LF not preceded by CR becomes CR LF; lone CRs stay.
std::u16string NormalizePastedBreaks(std::u16string_view clipboardText);
// Replaces the selection with the clipboard's text, breaks normalised. An
// empty text still deletes the selection and finishes as an edit.
void PasteText(EditState& s, std::u16string_view clipboardText);
