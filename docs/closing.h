// The save prompt and the closing of tabs.
#pragma once

#include <windows.h>

struct MainWindow;

// Asks "Do you want to save changes?" about a modified active document. True
// lets the caller go on: nothing to save, No, or Yes and the save succeeded.
bool MainWnd_QuerySave(MainWindow& mw, HWND owner);

// Closes documents[index] (index 0 for one outside the list) after the save
// prompt about it; the last tab closed is replaced by a new Untitled one.
// The tab shown afterwards, the next one or the one that stayed, has its
// file checked for changes as any tab switched to.
void MainWnd_CloseTab(MainWindow& mw, HWND window, int index);

// Closing the window: asks about every modified document in turn, the active
// one first, each made active so that the user sees it. False (that tab
// stays active, its file checked for changes) on Cancel, a failed save or a
// cancelled Save As.
bool MainWnd_QueryCloseWindow(MainWindow& mw, HWND window);
