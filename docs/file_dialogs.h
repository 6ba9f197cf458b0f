// The dialogs of the file commands, each modal to its owner. Cancelling gives
// an empty result and shows nothing; a dialog that fails gives an empty
// result after a message box that says why.
#pragma once

#include "winkit/under_wine.h"

#include <windows.h>

#include <string>
#include <vector>

// The files chosen in the open dialog (any number of them), as full paths.
// Wine's dialog writes a long multiple selection past the room it was
// given; with guardOverrun a hook makes room for the selection first.
// Windows refuses such a selection itself, and a hook would make it show
// its old-style dialog, so the guard is for Wine only.
std::vector<std::u16string> ShowOpenFileDialog(HWND owner, bool guardOverrun = RunningUnderWine());

struct SaveDialogResult {
    std::u16string path; // empty when cancelled
    int filterIndex = 0; // 1-based: 1 "Text Files (*.txt)", 2 "All Files (*.*)"
};

// The save dialog, opened with an empty name whatever the document's path.
SaveDialogResult ShowSaveFileDialog(HWND owner);

// The shell's folder picker; the chosen folder's file-system path.
std::u16string PickFolder(HWND owner);
