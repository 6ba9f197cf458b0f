// The main window's procedure: creation of the record and the children,
// message dispatch, and teardown.
#pragma once

#include <windows.h>

#include <string>

// The first command-line argument, read once while the main window is created.
extern std::wstring startupPath;
// The id of "commdlg_FindReplace", through which the find dialogs report.
extern UINT findReplaceMessage;

// The main window's class, as the program, its tests and its benchmark
// register it.
constexpr wchar_t kMainWindowClass[] = L"TessaryClass";

LRESULT CALLBACK MainWnd_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Registers kMainWindowClass with MainWnd_Proc for instance, showing the
// icons given (the system's application icon where the large one is null, the
// large one where the small one is). False when the system refuses, as it
// does a second registration.
bool RegisterMainWindowClass(HINSTANCE instance, HICON largeIcon, HICON smallIcon);
