// The window modes (fullscreen, always on top) and the commands that stand
// apart from documents: scroll speed, font dialog, New Window, About.
#pragma once

#include <windows.h>

struct MainWindow;

// Topmost while always-on-top or fullscreen is on, else not; never moves,
// sizes or activates the window.
void MainWnd_ApplyZOrder(const MainWindow& mw, HWND window);
void MainWnd_ToggleFullscreen(MainWindow& mw, HWND window);

// Snaps the loaded speed to a menu value, bullets its item and gives it to
// the first tab's control.
void MainWnd_SnapScrollSpeed(MainWindow& mw);
// A speed chosen from the menu, for every tab, bulleted and saved.
void MainWnd_SetScrollSpeed(MainWindow& mw, double speed, int item);

// The font dialog; on OK the editor font is rebuilt and saved.
void MainWnd_ChooseEditorFont(MainWindow& mw, HWND window);
// Starts another instance of the program with no document.
void MainWnd_LaunchNewWindow();
void MainWnd_ShowAbout(HWND window);
