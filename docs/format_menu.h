// The Format menu's Encoding and Line Endings groups show the active
// document's form; the menu bar itself is built by app/menu.
#pragma once

struct MainWindow;

// The radio bullets of the two groups from the active document (UTF-8 and
// Windows (CRLF) without one).
void MainWnd_RefreshEncodingMenu(MainWindow& mw);
void MainWnd_RefreshLineEndingMenu(MainWindow& mw);
