// The window side of the edit control, shared by its source files: the
// record in the window's user-data slot and the platform calls that carry
// out what the core's operations recorded.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// The control's record, or null before creation and after destruction.
EditState* EditCtl_State(HWND window);

// Carries out and clears the recorded effects in order: gutter cells, scroll
// bars, caret, repaint, the warning about a refused edit, and the parent's
// notification last. The record may be gone once the parent has handled
// the notification.
void EditCtl_ApplyEffects(HWND window, EditState& s);

// The focused control owns the system caret, `lineHeight` high.
void EditCtl_ShowCaret(HWND window, EditState& s);
void EditCtl_HideCaret(HWND window);
