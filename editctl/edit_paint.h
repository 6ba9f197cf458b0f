// Drawing the control: background, line-number gutter, text and selection.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// Draws the whole client area into `dc` through an off-screen bitmap, so the
// same code serves the paint message and printing into a caller's context.
void PaintControl(HWND window, const EditState& s, HDC dc);
