#include "fileio/file_commands.h"

#include "app/main_window.h"

// Loading, saving and the form commands arrive with the file commands work.
// Until then nothing is read or written, and a save reports failure, so the
// save prompt never lets unsaved text go on the strength of a save that did
// not happen.

bool OpenFileIntoActiveDocument(MainWindow&, HWND, const std::wstring&) {
    return false;
}

void MainWnd_OpenFiles(MainWindow&, HWND) {}

void MainWnd_OpenFolder(MainWindow&, HWND) {}

bool MainWnd_Save(MainWindow&, HWND) {
    return false;
}

bool MainWnd_SaveAs(MainWindow&, HWND) {
    return false;
}

void MainWnd_SetEncoding(MainWindow&, TextEncoding) {}

void MainWnd_SetLineEnding(MainWindow&, LineEnding) {}
