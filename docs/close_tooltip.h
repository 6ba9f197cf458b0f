// The "Close tab" tooltip of the close button at the tab strip's right end.
#pragma once

#include <windows.h>

struct MainWindow;

// A topmost tooltip owned by the main window, its one tool covering the
// close button; none when the system cannot make it.
void TabStrip_CreateCloseTooltip(MainWindow& mw, HWND mainWindow, HINSTANCE instance);

// Keeps the tooltip's tool on the close button's whole client area.
void TabStrip_UpdateTooltipRect(MainWindow& mw);
