// The file commands of the main window: opening files and folders into tabs,
// saving the active document, and its encoding and line-ending choices. The
// owner window (the main window) owns every dialog and message box.
#pragma once

#include "fileio/text_format.h"

#include <windows.h>

#include <string>

struct MainWindow;

// Loads path into the active tab, which takes the path as given. On failure
// shows "Failed to open file." and leaves the tab as it was. A large file
// shows its start at once, read-only, while a thread reads it whole; the
// status bar tells the progress (MainWnd_OnLoadMessage), and a load that
// fails then shows the same message and leaves the tab empty and Untitled.
bool OpenFileIntoActiveDocument(MainWindow& mw, HWND owner, const std::u16string& path);
// Handles the messages of the loads in the window's tabs: progress, and the
// whole text in place of the start when a load ends. False for other messages.
bool MainWnd_OnLoadMessage(MainWindow& mw, HWND window, UINT message, WPARAM wParam);
// While the active document is still loading, tells the user that what
// was asked must wait, and is true.
bool MainWnd_RefuseWhileLoading(MainWindow& mw, HWND owner);
// Reads the active document's file again, detecting its form as a load
// does, and keeps the caret's line and the view; the document is clean. On
// failure shows "Failed to open file." and keeps the text. A large file is
// read on a thread of its own while the tab shows its text read-only, as
// an open does; true then once the thread has started.
bool ReloadActiveDocument(MainWindow& mw, HWND owner);
// Writes the active document to path in its encoding and line ending; true
// when written. A failed write has shown "Failed to save file." and changed
// nothing. An ANSI save that would replace characters asks first, and so
// does the first save after a load that replaced bytes, and a save over the
// document's own file that another program changed since; No makes it false
// as well.
bool SaveDocumentToPath(MainWindow& mw, HWND owner, const std::u16string& path);
// A fresh Untitled tab that nothing has touched: a file can go into it
// instead of a new tab.
bool IsActiveTabReusable(MainWindow& mw);

// The file named on the command line, made absolute before it is read, so
// that a later save goes to the same file whatever the current folder.
void MainWnd_OpenStartupFile(MainWindow& mw, HWND owner, const std::wstring& path);
// Open and Open Folder: the files go into the active tab when it is reusable,
// else into new tabs. Neither asks about the active document; the caller has.
void MainWnd_OpenFiles(MainWindow& mw, HWND owner);
void MainWnd_OpenFolder(MainWindow& mw, HWND owner);
// Save writes to the document's path, or asks for one; Save As always asks.
// True when the document was written.
bool MainWnd_Save(MainWindow& mw, HWND owner);
bool MainWnd_SaveAs(MainWindow& mw, HWND owner);
// The form the active document is written in at its next save; the text and
// its modified state stay as they are.
void MainWnd_SetEncoding(MainWindow& mw, HWND owner, TextEncoding encoding);
void MainWnd_SetLineEnding(MainWindow& mw, HWND owner, LineEnding lineEnding);
