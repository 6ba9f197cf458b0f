// The key-down rules: caret movement, selection, deletion, undo and redo as
// functions of the state. The window layer maps virtual keys to EditKey and
// performs the clipboard part itself.
#pragma once

#include "editctl/edit_state.h"

enum class EditKey { Backspace, Delete, Left, Right, Up, Down, Home, End, A, C, V, X, Y, Z, Other };

// What the window layer still has to do after a key.
enum class ClipboardAction {
    None,
    Copy,  // copy the selection
    Cut,   // copy the selection, then DeleteSelection
    Paste, // PasteText with the clipboard's text
};

// Handles one key-down with the modifier state read when it was handled.
// Keys without a rule do nothing.
ClipboardAction HandleKeyDown(EditState& s, EditKey key, bool shift, bool ctrl);

// Selects the whole text without scrolling.
void SelectAll(EditState& s);
// One character message: typed as TypeCharacter types it, except that the
// two halves of a surrogate pair arrive apart and are typed together. A
// half without its other half is dropped, so typing never leaves a lone
// surrogate in the text.
void TypeCharMessage(EditState& s, char16_t unit);
