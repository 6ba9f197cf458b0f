// The Font dialog for the editor font.
#pragma once

#include <windows.h>

struct MainWindow;

// The font dialog, opened at the current face and size; on OK the editor
// font is rebuilt and saved, on Cancel nothing changes.
void MainWnd_ChooseEditorFont(MainWindow& mw, HWND window);
