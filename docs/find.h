// Find and replace through the system's modeless dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct MainWindow;

void Find_ShowFindDialog(MainWindow& mw, HWND window);
void Find_ShowReplaceDialog(MainWindow& mw, HWND window);
// Searches from the selection in the last direction; true when found.
bool Find_FindNext(MainWindow& mw, HWND window, bool showMessage);
// The main window's handler of the dialogs' registered message.
void Find_HandleDialogMessage(MainWindow& mw, HWND window, const FINDREPLACEW& request);
