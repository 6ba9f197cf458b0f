// The fullscreen mode of the main window.
#pragma once

#include <windows.h>

struct MainWindow;

// Enters fullscreen (no frame, no menu bar, the whole monitor, topmost) or
// returns to exactly the rectangle, styles and z-order it had before.
void MainWnd_ToggleFullscreen(MainWindow& mw, HWND window);
