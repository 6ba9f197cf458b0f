// The main window's procedure: creation of the record and the children,
// message dispatch, and teardown.
#pragma once

#include <windows.h>

#include <string>

// The first command-line argument, read once while the main window is created.
extern std::wstring startupPath;
// The id of "commdlg_FindReplace", through which the find dialogs report.
extern UINT findReplaceMessage;

LRESULT CALLBACK MainWnd_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
