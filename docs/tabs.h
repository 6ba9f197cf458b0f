// The tab list: one Document per tab, exactly one of them active. Indexes
// outside the list are ignored.
#pragma once

#include <windows.h>

struct MainWindow;

// Adds an edit control with the current settings and its document as the
// last tab and makes it active; the first tab of a new window is made this
// way before the status bar and the fonts exist. False, with nothing
// changed, when the edit control cannot be created (the system's window
// quota is spent): a tab without one would show and save an empty text.
bool MainWnd_AddTab(MainWindow& mw, HWND window);
// A new empty Untitled tab at the end, made active. Asks nothing. False as
// for MainWnd_AddTab.
bool MainWnd_NewTab(MainWindow& mw, HWND window);
// Shows documents[index]'s control in place of the active one. Does not
// select the tab item; callers that change the selection in code do that.
// Here and in MainWnd_AddTab, keyboard focus on the hidden control or on the
// main window moves to the newly active control.
void MainWnd_ActivateTab(MainWindow& mw, HWND window, int index);
// The active document's modified flag, in the document and its control,
// with its caption and the title.
void MainWnd_SetModified(MainWindow& mw, HWND window, bool modified);
// Empties the active tab and makes its document a new Untitled one.
void MainWnd_ResetActiveDocument(MainWindow& mw, HWND window);
// The same for documents[index], active or not.
void MainWnd_ResetDocument(MainWindow& mw, HWND window, int index);
// After the active document was loaded, saved or reset: not modified, and
// shown as MainWnd_ShowActiveDocument does.
void MainWnd_ShowCleanDocument(MainWindow& mw, HWND window);
// The same for documents[index]: a document in the background shows its
// state in its tab caption alone.
void MainWnd_ShowCleanDocumentAt(MainWindow& mw, HWND window, int index);
// Shows the active document's state wherever the window shows it: the
// title, its tab caption, the Format menu's Encoding and Line Endings
// bullets and, while the bar is shown, every status field.
void MainWnd_ShowActiveDocument(MainWindow& mw, HWND window);
// Ctrl+Tab: the next tab, the first after the last; nothing with one tab.
void MainWnd_NextTab(MainWindow& mw, HWND window);
// Rewrites the tab item of documents[index] from its caption.
void MainWnd_UpdateTabCaption(MainWindow& mw, int index);
