// Find and replace through the system's modeless dialogs, on the active
// document. The dialogs edit the record's findWhat and replaceWith in place
// and report through the registered message.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct MainWindow;

// Opens the dialog, or focuses whichever of the two is already open.
void Find_ShowFindDialog(MainWindow& mw, HWND window);
void Find_ShowReplaceDialog(MainWindow& mw, HWND window);
// Searches from the selection in the last direction and selects the match;
// true when found. Says so in a message box when not found and showMessage.
bool Find_FindNext(MainWindow& mw, HWND window, bool showMessage);
// The main window's handler of the dialogs' registered message. Only the
// record's own block is read: anything else in lParam is ignored.
void Find_HandleDialogMessage(MainWindow& mw, HWND window, const FINDREPLACEW* request);
