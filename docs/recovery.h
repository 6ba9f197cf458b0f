// The main window's recovery journals: each document's written about a
// second after its changes, a copy of a large text in steps between the
// window's other work, and the user told once when they cannot be written.
#pragma once

#include <windows.h>

struct Document;
struct MainWindow;

// The main window's timer that writes the journals.
constexpr UINT_PTR IDT_JOURNAL_WRITE = 1;

// After a change of a document's text: the journals are written within
// about a second.
void MainWnd_ScheduleJournalWrite(MainWindow& mw, HWND window);
// Writes what every document's journal kept (the timer's work), a step of
// any copy under way; the timer comes back soon while one is.
void MainWnd_WriteJournals(MainWindow& mw, HWND window);
// Writes every journal whole before a forced end of the session.
void MainWnd_FinishJournals(MainWindow& mw, HWND window);
// A normal end: the documents' journals go.
void MainWnd_DiscardJournals(MainWindow& mw);

// When the file a document with unsaved edits loaded or saved is no longer
// the one on the disk (changed, gone, unreadable, or a change declined), a
// copy of its text takes the place of a journal that leans on the file.
void MainWnd_CheckJournalBase(MainWindow& mw, HWND window, Document& document);
// The document's encoding or line ending was chosen anew.
void MainWnd_JournalFormChanged(MainWindow& mw, HWND window, Document& document);
