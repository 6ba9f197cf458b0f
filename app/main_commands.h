// The main window's WM_COMMAND: notifications from the active edit control,
// then the commands of the menus, accelerators and close button.
#pragma once

#include <windows.h>

struct MainWindow;

void MainWnd_OnCommand(MainWindow& mw, HWND window, WPARAM wParam, LPARAM lParam);
