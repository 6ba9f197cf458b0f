// The menu bar, its check marks and radio groups, and the accelerator table.
#pragma once

#include <windows.h>

struct MainWindow;

// Builds the whole bar; with a record, records the bar and the Scroll speed,
// Encoding and Line Endings sub-menus in it. Returns the bar.
HMENU MainWnd_BuildMenu(MainWindow* mw);

// Sets a check mark in mainMenu, or in the window's current menu when the
// bar has been detached.
void MainWnd_SetCheck(const MainWindow& mw, HWND window, int id, bool checked);
// Every check mark from the record's settings and window modes.
void MainWnd_SetAllChecks(const MainWindow& mw, HWND window);

// The 17 keyboard shortcuts; null when the table cannot be made.
HACCEL MainWnd_CreateAccelerators();
