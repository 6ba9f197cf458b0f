// The tab strip: an owner-drawn tab control whose items show their caption
// and a close glyph, and the "X" button at its right end that closes the
// active tab.
#pragma once

#include <windows.h>

struct MainWindow;

// The tab control (subclassed with TabStrip_Proc), the close button and its
// "Close tab" tooltip, all of zero size until the first layout.
void TabStrip_Create(MainWindow& mw, HWND mainWindow);

// Runs in the tab control's subclass chain, ahead of its own procedure, which
// gets whatever this leaves: a left click on an item's glyph closes that tab,
// and the strip shows as many tabs as fit whenever tabs go or it is sized.
LRESULT CALLBACK TabStrip_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Paints one item; an item outside the documents paints nothing.
void TabStrip_DrawItem(MainWindow& mw, const DRAWITEMSTRUCT& item);
