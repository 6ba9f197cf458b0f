// The platform calls that carry out what the core's operations recorded,
// and the system caret.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// Carries out and clears the recorded effects in order: gutter cells, scroll
// bars, caret, repaint, the warning about a refused edit, and the parent's
// notification last. The record may be gone once the parent has handled
// the notification.
void EditCtl_ApplyEffects(HWND window, EditState& s);

// The focused control owns the system caret, `lineHeight` high.
void EditCtl_ShowCaret(HWND window, EditState& s);
void EditCtl_HideCaret(HWND window);
