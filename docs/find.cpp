#include "docs/find.h"

#include "app/main_window.h"

// The dialogs and the search arrive with the find and replace work; until
// then the commands open nothing and find nothing.

void Find_ShowFindDialog(MainWindow&, HWND) {}

void Find_ShowReplaceDialog(MainWindow&, HWND) {}

bool Find_FindNext(MainWindow&, HWND, bool) {
    return false;
}

void Find_HandleDialogMessage(MainWindow& mw, HWND, const FINDREPLACEW& request) {
    if (request.Flags & FR_DIALOGTERM)
        mw.findDialog = nullptr;
}
