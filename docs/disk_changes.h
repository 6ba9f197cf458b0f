// Questions about the active document's file when another program changed
// or removed it: asked when the main window or a tab becomes active. One
// question per change; a file that keeps changing is asked about again only
// once the user has answered.
#pragma once

#include <windows.h>

struct MainWindow;

// The main window became active: checks once its activation is complete,
// as a posted message, so that no question opens inside the activation.
void MainWnd_QueueDiskCheck(MainWindow& mw, HWND window);
// Handles the message MainWnd_QueueDiskCheck posts; false for any other.
bool MainWnd_OnDiskCheckMessage(MainWindow& mw, HWND window, UINT message);
// Checks the active document's file now and asks what the change calls for:
// reload or keep the text, or that a missing file will be written again.
void MainWnd_CheckActiveOnDisk(MainWindow& mw, HWND window);
