#include "app/main_commands.h"

#include "app/about.h"
#include "app/font_dialog.h"
#include "app/fullscreen.h"
#include "app/menu.h"
#include "app/settings.h"
#include "app/settings_rules.h"
#include "app/window_modes.h"
#include "docs/closing.h"
#include "docs/disk_changes.h"
#include "docs/file_commands.h"
#include "docs/find.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/status_bar.h"
#include "docs/tabs.h"
#include "docs/window_layout.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"

namespace {

void RefreshCaretFields(MainWindow& mw) {
    if (!mw.settings.showStatusBar)
        return;
    Status_UpdatePosition(mw);
    Status_UpdateCharCode(mw);
}

// True when the message was a notification the active control sent.
bool HandleEditNotification(MainWindow& mw, HWND window, WORD code) {
    if (code == CEN_CHANGE) {
        MainWnd_SetModified(mw, window, true);
        MainWnd_ScheduleJournalWrite(mw, window);
        RefreshCaretFields(mw);
        return true;
    }
    if (code == CEN_SELCHANGE) {
        RefreshCaretFields(mw);
        return true;
    }
    return false;
}

// Flips a setting and sets its check mark; the new value.
bool ToggleSetting(MainWindow& mw, HWND window, bool& setting, int id) {
    setting = !setting;
    MainWnd_SetCheck(mw, window, id, setting);
    return setting;
}

void ViewCommand(MainWindow& mw, HWND window, int id) {
    AppSettings& s = mw.settings;
    switch (id) {
    case IDM_VIEW_STATUS_BAR:
        ToggleSetting(mw, window, s.showStatusBar, id);
        MainWnd_Layout(mw, window);
        break;
    case IDM_VIEW_LINE_NUMBERS:
        EditCtl_SetShowLineNumbers(mw.activeEdit, ToggleSetting(mw, window, s.showLineNumbers, id));
        break;
    case IDM_VIEW_TABS:
        ToggleSetting(mw, window, s.showTabs, id);
        MainWnd_Layout(mw, window);
        break;
    case IDM_FORMAT_WORD_WRAP:
        EditCtl_SetWordWrap(mw.activeEdit, ToggleSetting(mw, window, s.wordWrap, id));
        break;
    case IDM_FORMAT_INSERT_SPACES:
        ToggleSetting(mw, window, s.insertSpaces, id);
        for (const Document& document : mw.documents)
            EditCtl_SetInsertSpaces(document.editWindow, s.insertSpaces);
        break;
    }
    Settings_Save(s);
}

void FileCommand(MainWindow& mw, HWND window, int id) {
    switch (id) {
    case IDM_FILE_NEW:
        if (MainWnd_QuerySave(mw, window))
            MainWnd_NewTab(mw, window);
        break;
    case IDM_FILE_NEW_WINDOW:
        MainWnd_LaunchNewWindow();
        break;
    case IDM_FILE_OPEN:
        if (MainWnd_QuerySave(mw, window))
            MainWnd_OpenFiles(mw, window);
        break;
    case IDM_FILE_OPEN_FOLDER:
        if (MainWnd_QuerySave(mw, window))
            MainWnd_OpenFolder(mw, window);
        break;
    case IDM_FILE_SAVE:
        MainWnd_Save(mw, window);
        break;
    case IDM_FILE_SAVE_AS:
        MainWnd_SaveAs(mw, window);
        break;
    case IDM_FILE_CLOSE_TAB:
        MainWnd_CloseTab(mw, window, mw.activeIndex);
        break;
    case IDM_FILE_EXIT:
        SendMessageW(window, WM_CLOSE, 0, 0);
        break;
    }
}

void EditCommand(MainWindow& mw, HWND window, int id) {
    switch (id) {
    case IDM_EDIT_UNDO:
        EditCtl_Undo(mw.activeEdit);
        break;
    case IDM_EDIT_CUT:
        EditCtl_Cut(mw.activeEdit);
        break;
    case IDM_EDIT_COPY:
        EditCtl_Copy(mw.activeEdit);
        break;
    case IDM_EDIT_PASTE:
        EditCtl_Paste(mw.activeEdit);
        break;
    case IDM_EDIT_DELETE:
        EditCtl_Delete(mw.activeEdit);
        break;
    case IDM_EDIT_SELECT_ALL:
        EditCtl_SelectAll(mw.activeEdit);
        break;
    case IDM_EDIT_FIND:
        Find_ShowFindDialog(mw, window);
        break;
    case IDM_EDIT_FIND_NEXT:
        if (mw.findWhat[0] != 0)
            Find_FindNext(mw, window, true);
        else
            Find_ShowFindDialog(mw, window);
        break;
    case IDM_EDIT_REPLACE:
        Find_ShowReplaceDialog(mw, window);
        break;
    }
}

void WindowCommand(MainWindow& mw, HWND window, int id) {
    switch (id) {
    case IDM_NEXT_TAB:
        MainWnd_NextTab(mw, window);
        MainWnd_CheckActiveOnDisk(mw, window);
        break;
    case IDM_VIEW_ALWAYS_ON_TOP:
        mw.alwaysOnTop = !mw.alwaysOnTop;
        MainWnd_SetCheck(mw, window, id, mw.alwaysOnTop);
        MainWnd_ApplyZOrder(mw, window);
        break;
    case IDM_VIEW_FULLSCREEN:
        MainWnd_ToggleFullscreen(mw, window);
        MainWnd_SetCheck(mw, window, id, mw.fullscreen);
        break;
    case IDM_FORMAT_FONT:
        MainWnd_ChooseEditorFont(mw, window);
        break;
    case IDM_FORMAT_FONT_LARGER:
    case IDM_FORMAT_FONT_SMALLER:
        MainWnd_StepFontSize(mw, window, id == IDM_FORMAT_FONT_LARGER ? +1 : -1);
        Settings_Save(mw.settings);
        break;
    case IDM_HELP_ABOUT:
        MainWnd_ShowAbout(window);
        break;
    }
}

} // namespace

void MainWnd_OnCommand(MainWindow& mw, HWND window, WPARAM wParam, LPARAM lParam) {
    if (mw.activeEdit && reinterpret_cast<HWND>(lParam) == mw.activeEdit &&
        HandleEditNotification(mw, window, HIWORD(wParam)))
        return;
    const int id = LOWORD(wParam);
    if (id >= IDM_FILE_NEW && id <= IDM_FILE_EXIT)
        FileCommand(mw, window, id);
    else if (id >= IDM_EDIT_UNDO && id <= IDM_EDIT_REPLACE)
        EditCommand(mw, window, id);
    else if (id == IDM_VIEW_STATUS_BAR || id == IDM_VIEW_LINE_NUMBERS || id == IDM_VIEW_TABS ||
             id == IDM_FORMAT_WORD_WRAP || id == IDM_FORMAT_INSERT_SPACES)
        ViewCommand(mw, window, id);
    else if (id >= IDM_SCROLL_0_25X && id <= IDM_SCROLL_5X)
        MainWnd_SetScrollSpeed(mw, kScrollSpeeds[id - IDM_SCROLL_0_25X], id);
    else if (id == IDM_ENCODING_UTF8 || id == IDM_ENCODING_ANSI)
        MainWnd_SetEncoding(mw, window,
                            id == IDM_ENCODING_ANSI ? TextEncoding::Ansi : TextEncoding::Utf8);
    else if (id >= IDM_EOL_CRLF && id <= IDM_EOL_CR)
        MainWnd_SetLineEnding(mw, window, static_cast<LineEnding>(id - IDM_EOL_CRLF));
    else
        WindowCommand(mw, window, id);
}
