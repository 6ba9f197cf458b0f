// Always on top, the scroll speed and New Window: the commands that stand
// apart from documents.
#pragma once

#include <windows.h>

#include <string>

struct MainWindow;

// Topmost while always-on-top or fullscreen is on, else not; never moves,
// sizes or activates the window.
void MainWnd_ApplyZOrder(const MainWindow& mw, HWND window);

// Snaps the loaded speed to a menu value, bullets its item and gives it to
// the first tab's control.
void MainWnd_SnapScrollSpeed(MainWindow& mw);
// A speed chosen from the menu (0 or below counts as 0.1, at most 5), for
// every tab, bulleted and saved. An item outside the group moves no bullet.
void MainWnd_SetScrollSpeed(MainWindow& mw, double speed, int item);

// The full path of the program's executable, however long; empty on failure.
std::wstring MainWnd_ModulePath();
// Starts another instance of the program with no document.
void MainWnd_LaunchNewWindow();
