// Which items of the right-button menu are enabled. The window layer shows
// the menu.
#pragma once

#include "editctl/edit_state.h"

// Select All is always enabled.
struct ContextMenuStates {
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool del = false;
};
ContextMenuStates ContextMenuEnabled(const EditState& s, bool clipboardHasText);
