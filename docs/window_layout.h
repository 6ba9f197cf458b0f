// The main window's DPI, its two fonts, and the placing of its children:
// tab strip with close button on top, the active edit control, status bar.
#pragma once

#include <windows.h>

struct MainWindow;

// GetDpiForWindow where the system has it, else the screen's LOGPIXELSY (96
// when that reads 0).
int MainWnd_GetDpi(HWND window);

// Makes the menu font and the editor font for dpi, hands both out, and only
// then deletes the previous pair, so no child ever holds a deleted font.
void MainWnd_RebuildFonts(MainWindow& mw, int dpi);
// Hands the current fonts to every edit control and the tab strip, status
// bar and close button.
void MainWnd_ApplyFonts(MainWindow& mw);

// Sizes and places the children for the client area, then refreshes the
// status bar when it is shown.
void MainWnd_Layout(MainWindow& mw, HWND window);

// One point larger (+1) or smaller (-1), within 6..200; rebuilds the fonts
// and the layout only when the size changed.
void MainWnd_StepFontSize(MainWindow& mw, HWND window, int delta);

// Paints over the line the frame draws under the menu bar, which the tab
// strip covers while it is shown.
void MainWnd_PaintTopBand(HWND window);
