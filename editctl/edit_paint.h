// Drawing the control: background, line-number gutter, text and selection.
#pragma once

#include "winkit/win_handles.h"
#include "editctl/edit_state.h"

#include <windows.h>

// The off-screen bitmap a paint draws through, kept for the next paint at
// the client size it was made for.
struct BackBuffer {
    GdiObject<HBITMAP> bitmap;
    int width = 0;
    int height = 0;
};

// Draws the whole client area into `dc` through a fresh off-screen bitmap,
// for printing into a caller's context.
void PaintControl(HWND window, EditState& s, HDC dc);
// Draws only what `area` of the client covers, through the off-screen
// bitmap kept in the record between paints and made again for a new size.
void PaintUpdate(HWND window, EditState& s, HDC dc, const RECT& area);
