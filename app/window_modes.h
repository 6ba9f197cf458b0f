// The window modes (fullscreen, always on top) and the commands that stand
// apart from documents: scroll speed, font dialog, New Window, About.
#pragma once

#include <windows.h>

#include <string>

struct MainWindow;

// Topmost while always-on-top or fullscreen is on, else not; never moves,
// sizes or activates the window.
void MainWnd_ApplyZOrder(const MainWindow& mw, HWND window);
// Enters fullscreen (no frame, no menu bar, the whole monitor, topmost) or
// returns to exactly the rectangle, styles and z-order it had before.
void MainWnd_ToggleFullscreen(MainWindow& mw, HWND window);
// A menu bar detached by fullscreen is not destroyed with the window: the
// teardown calls this to free it.
void MainWnd_ReleaseDetachedMenu(MainWindow& mw, HWND window);

// Snaps the loaded speed to a menu value, bullets its item and gives it to
// the first tab's control.
void MainWnd_SnapScrollSpeed(MainWindow& mw);
// A speed chosen from the menu (0 or below counts as 0.1, at most 5), for
// every tab, bulleted and saved. An item outside the group moves no bullet.
void MainWnd_SetScrollSpeed(MainWindow& mw, double speed, int item);

// The font dialog, opened at the current face and size; on OK the editor
// font is rebuilt and saved, on Cancel nothing changes.
void MainWnd_ChooseEditorFont(MainWindow& mw, HWND window);

// The full path of the program's executable, however long; empty on failure.
std::wstring MainWnd_ModulePath();
// Starts another instance of the program with no document.
void MainWnd_LaunchNewWindow();

// A string of the US English, Unicode table of a file's version block; empty
// when the file, the block or the string is missing.
std::wstring MainWnd_GetFileVersionString(const std::wstring& path, const wchar_t* key);
// The same for the program's own executable.
std::wstring MainWnd_GetVersionString(const wchar_t* key);
void MainWnd_ShowAbout(HWND window);
