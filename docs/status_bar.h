// The status bar's four parts (caret position, encoding, line ending,
// character code) and the main window's title. The updates write whether or
// not the bar is shown; callers decide when that matters.
#pragma once

#include <windows.h>

struct MainWindow;

// The bar along the bottom edge; it places itself on every layout.
HWND Status_Create(HWND mainWindow);

void Status_UpdatePosition(MainWindow& mw);
void Status_UpdateEncoding(MainWindow& mw);
void Status_UpdateLineEnding(MainWindow& mw);
void Status_UpdateCharCode(MainWindow& mw);
// Parts 0, 1, 2 and 3, in that order.
void Status_UpdateAll(MainWindow& mw);

// "*name - Tessary" for the active document.
void MainWnd_UpdateTitle(MainWindow& mw, HWND window);
