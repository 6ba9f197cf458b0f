// The save prompt and the closing of tabs.
#pragma once

#include <windows.h>

struct MainWindow;

// Asks "Do you want to save changes?" about a modified active document. True
// lets the caller go on: nothing to save, No, or Yes and the save succeeded.
bool MainWnd_QuerySave(MainWindow& mw, HWND owner);

// Closes documents[index] (index 0 for one outside the list) after the save
// prompt about it; the last tab closed is replaced by a new Untitled one.
// Every tab it shows has its file checked for changes, as a tab switched to
// does: the next tab, and a modified tab made active to be asked about.
void MainWnd_CloseTab(MainWindow& mw, HWND window, int index);

// Closing the window: asks about every modified document in turn, the active
// one first, each made active (its file checked for changes) so that the
// user sees it. False (that tab stays active) on Cancel, a failed save or a
// cancelled Save As.
bool MainWnd_QueryCloseWindow(MainWindow& mw, HWND window);
