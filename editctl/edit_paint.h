// Drawing the control: background, line-number gutter, text and selection.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// Draws the whole client area into `dc` through a fresh off-screen bitmap,
// for printing into a caller's context.
void PaintControl(HWND window, const EditState& s, HDC dc);
// Draws only what `area` of the client covers, through the off-screen
// bitmap kept in the record between paints and made again for a new size.
void PaintUpdate(HWND window, EditState& s, HDC dc, const RECT& area);
// Gives the kept bitmap back; the next paint makes a new one.
void EditCtl_ReleaseBackBuffer(EditState& s);
