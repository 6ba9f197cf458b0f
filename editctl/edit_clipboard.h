// Copy and paste through the system clipboard as Unicode text. Failures
// (clipboard busy, no text, no memory) end the operation silently.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// Puts the selected units on the clipboard, breaks as they are; nothing
// without a selection.
void CopySelection(HWND window, const EditState& s);
// Copies, then deletes the selection as an edit; nothing without a selection.
void CutSelection(HWND window, EditState& s);
// Replaces the selection with the clipboard's text, lone LFs made CR LF.
void PasteClipboard(HWND window, EditState& s);
bool ClipboardHasText();
