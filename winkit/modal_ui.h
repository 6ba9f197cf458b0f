// Every modal piece of UI the program shows: message boxes, the file, folder
// and font dialogs, the task dialog, and starting a process. The program gets
// the real thing; a test installs handlers that look at what would have been
// shown and answer it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <string>

// How a file dialog ended: chosen, or not, with the dialog's extended error
// (CommDlgExtendedError), which is 0 when the user cancelled.
struct FileDialogOutcome {
    bool chosen = false;
    DWORD error = 0;
};

struct ModalUiHandlers {
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption,
                      UINT flags)>
        messageBox;
    std::function<FileDialogOutcome(OPENFILENAMEW& dialog)> openFile;
    std::function<FileDialogOutcome(OPENFILENAMEW& dialog)> saveFile;
    std::function<BOOL(CHOOSEFONTW& dialog)> chooseFont;
    std::function<std::wstring(HWND owner, const std::wstring& title)> pickFolder;
    std::function<bool(const TASKDIALOGCONFIG& config)> taskDialog;
    std::function<bool(const std::wstring& commandLine)> startProcess;
};

// Installs test handlers; null goes back to the real UI. While handlers are
// installed, a call without its handler answers as a cancel would, so a test
// never blocks on a real dialog.
void ModalUi_SetHandlers(const ModalUiHandlers* handlers);

int ModalUi_MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);
// Tells the user that memory ran out and the operation they asked for was
// abandoned.
void ModalUi_ReportOutOfMemory(HWND owner);
FileDialogOutcome ModalUi_GetOpenFileName(OPENFILENAMEW& dialog);
FileDialogOutcome ModalUi_GetSaveFileName(OPENFILENAMEW& dialog);
BOOL ModalUi_ChooseFont(CHOOSEFONTW& dialog);
// The shell's folder picker with the given title; the chosen folder's file
// system path, or empty when cancelled or unavailable.
std::wstring ModalUi_PickFolder(HWND owner, const wchar_t* title);
// False when the system has no task dialog: the caller falls back to a
// message box.
bool ModalUi_TaskDialog(const TASKDIALOGCONFIG& config);
// Starts a process from a whole command line and lets it go; false on failure.
bool ModalUi_StartProcess(const std::wstring& commandLine);
