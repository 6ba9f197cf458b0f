// Crash recovery for the main window: its documents' journals written about
// a second after their changes, and at start-up the offer of the journals
// an instance that did not close normally left behind.
#pragma once

#include <windows.h>

struct MainWindow;

// The main window's timer that writes the journals.
constexpr UINT_PTR IDT_JOURNAL_WRITE = 1;

// After a change of a document's text: the journals are written within
// about a second.
void MainWnd_ScheduleJournalWrite(MainWindow& mw, HWND window);
// Writes what every document's journal kept (the timer's work).
void MainWnd_WriteJournals(MainWindow& mw, HWND window);
// A normal end: the documents' journals go.
void MainWnd_DiscardJournals(MainWindow& mw);

// Asks once about every journal no running instance holds. Yes opens each
// in a tab marked modified, the active tab first when it is a fresh
// Untitled one, with its file's path while the file is still what the
// journal was written against and as an Untitled document otherwise; No
// deletes them. True when a tab got recovered text.
bool MainWnd_OfferRecovery(MainWindow& mw, HWND window);
