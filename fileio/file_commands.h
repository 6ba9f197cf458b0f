// The file commands of the main window: opening files and folders into tabs,
// saving the active document, and its encoding and line-ending choices.
#pragma once

#include "fileio/text_format.h"

#include <windows.h>

#include <string>

struct MainWindow;

// Loads path into the active tab; true on success.
bool OpenFileIntoActiveDocument(MainWindow& mw, HWND owner, const std::wstring& path);
void MainWnd_OpenFiles(MainWindow& mw, HWND owner);
void MainWnd_OpenFolder(MainWindow& mw, HWND owner);
// True when the active document was written.
bool MainWnd_Save(MainWindow& mw, HWND owner);
bool MainWnd_SaveAs(MainWindow& mw, HWND owner);
// The form the active document is written in at its next save.
void MainWnd_SetEncoding(MainWindow& mw, TextEncoding encoding);
void MainWnd_SetLineEnding(MainWindow& mw, LineEnding lineEnding);
