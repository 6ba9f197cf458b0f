// The CustomEditControl window: the interface the main window drives it by.
//
// Every function takes the control's window handle and does nothing (or
// returns the neutral value noted) when the window has no control record,
// before creation or after destruction. Positions are UTF-16 code-unit
// indexes; out-of-range values are clamped, never rejected.
//
// The control reports to its parent with WM_COMMAND: the control id in the
// low word of wParam, the code in the high word, the control in lParam. The
// notification is always the last step of the operation that caused it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

constexpr WORD CEN_CHANGE = 1;    // after every edit, undo and redo
constexpr WORD CEN_SELCHANGE = 2; // after caret and selection moves
constexpr WORD CEN_SCROLL = 3;    // after a mouse-wheel scroll

// Registers the "CustomEditControl" class once per process.
bool EditCtl_RegisterClass(HINSTANCE instance);
// Creates a visible child control with both scroll bars; null on failure.
HWND EditCtl_Create(HWND parent, int x, int y, int width, int height, int id, HINSTANCE instance);

// Replaces the whole text, clears both histories and the modified flag; sends nothing.
void EditCtl_SetText(HWND window, const std::u16string& text);
// The same without a copy, for texts as large as a whole file: the control
// takes the string with its spare capacity, which later edits grow into.
void EditCtl_SetText(HWND window, std::u16string&& text);
std::u16string EditCtl_GetText(HWND window);
void EditCtl_SetSelection(HWND window, int32_t anchor, int32_t caret);
// Writes into whichever outputs are given; writes nothing without a record.
void EditCtl_GetSelection(HWND window, int32_t* anchor, int32_t* caret);
// 1-based logical line and column in code units; 1 and 1 without a record.
void EditCtl_GetCaretLineCol(HWND window, int* line, int* column);
// The code unit at the caret and its index; 0 and -1 at the end of the text.
wchar_t EditCtl_GetCharAtCaret(HWND window, int32_t* index);
void EditCtl_SelectAll(HWND window);
void EditCtl_EnsureCaretVisible(HWND window);

// Replaces text[start, end) with `text` as one undoable edit, selects the
// inserted text and sends CEN_CHANGE.
void EditCtl_ReplaceRange(HWND window, int32_t start, int32_t end, std::u16string text);
void EditCtl_Undo(HWND window);
void EditCtl_Cut(HWND window);
void EditCtl_Copy(HWND window);
void EditCtl_Paste(HWND window);
void EditCtl_Delete(HWND window);
bool EditCtl_IsModified(HWND window);
void EditCtl_SetModified(HWND window, bool modified);

void EditCtl_SetWordWrap(HWND window, bool on);
void EditCtl_SetShowLineNumbers(HWND window, bool on);
void EditCtl_SetInsertSpaces(HWND window, bool on);
// Speeds of 0 or below are stored as 0.1.
void EditCtl_SetScrollSpeed(HWND window, double speed);
// Not owned: the caller keeps the font alive while the control uses it.
void EditCtl_SetFont(HWND window, HFONT font);
