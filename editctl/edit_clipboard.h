// Copy and paste through the system clipboard as Unicode text. Failures of
// the clipboard (busy, no text) end the operation silently; a copy that
// cannot have the memory for its text tells the user.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// Puts the selected units on the clipboard, breaks as they are; false when
// nothing was selected or the clipboard did not take the text. Without the
// memory for the text, tells the user and leaves the clipboard as it was.
bool CopySelection(HWND window, const EditState& s);
// Copies, then deletes the selection as an edit; nothing without a selection
// or when the copy failed.
void CutSelection(HWND window, EditState& s);
// Replaces the selection with the clipboard's text, lone LFs made CR LF.
void PasteClipboard(HWND window, EditState& s);
bool ClipboardHasText();
