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
#include <string_view>
#include <vector>

class TextObserver;
struct LineMetrics;
struct PreparedText;

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
// What a text's lines are measured by in the control's view now, for a
// text prepared away from the window's thread (commands.h); defaults
// without a record.
LineMetrics EditCtl_LineMetrics(HWND window);
// Puts the whole of a file in place of its start shown meanwhile: the
// selection and the view stay, both histories and the modified flag are
// cleared; sends nothing.
void EditCtl_AdoptPrepared(HWND window, PreparedText&& prepared);
// EditCtl_SetText for the file's new bytes: the caret keeps its line and
// the view its place as far as the new text allows.
void EditCtl_ReloadText(HWND window, std::u16string&& text);
// The same for a whole file read and measured away from the window's thread.
void EditCtl_ReloadPrepared(HWND window, PreparedText&& prepared);
std::u16string EditCtl_GetText(HWND window);
// The whole text as pieces, in order, without a copy and without moving
// anything; valid until the text next changes.
std::vector<std::u16string_view> EditCtl_TextPieces(HWND window);
// The text's length in code units; 0 without a record.
int32_t EditCtl_GetTextLength(HWND window);
// Up to `count` code units from `start` (clamped): large texts are read piece
// by piece without a copy of the whole.
std::u16string EditCtl_GetTextPart(HWND window, int32_t start, int32_t count);
// Tells `observer` of every later change of the text; null stops it. The
// caller keeps the observer alive while the control may call it.
void EditCtl_SetTextObserver(HWND window, TextObserver* observer);
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
// Replace All: puts `text` in place of `length` units at each of
// `positions` as one undoable edit whose record holds only the places and
// the units replaced; selects from the first place to the end of the last
// insertion and sends CEN_CHANGE. Positions inside the match before or
// running past the text are left out; with none left nothing happens.
void EditCtl_ReplaceMatches(HWND window, std::vector<int32_t> positions, int32_t length,
                            std::u16string_view text);
void EditCtl_Undo(HWND window);
void EditCtl_Cut(HWND window);
void EditCtl_Copy(HWND window);
void EditCtl_Paste(HWND window);
void EditCtl_Delete(HWND window);
bool EditCtl_IsModified(HWND window);
void EditCtl_SetModified(HWND window, bool modified);
// While read-only every edit, Undo and Redo is refused with a beep; the
// text can still be scrolled, selected and copied, and UI Automation tells
// readers that it is read-only.
void EditCtl_SetReadOnly(HWND window, bool readOnly);

void EditCtl_SetWordWrap(HWND window, bool on);
void EditCtl_SetShowLineNumbers(HWND window, bool on);
// Makes the line-number gutter wide enough for at least `lines` lines, as
// many as the whole of a file whose start is shown is expected to have;
// the next text, the whole file's included, drops it.
void EditCtl_SetGutterLines(HWND window, int32_t lines);
void EditCtl_SetInsertSpaces(HWND window, bool on);
// Speeds of 0 or below are stored as 0.1.
void EditCtl_SetScrollSpeed(HWND window, double speed);
// Not owned: the caller keeps the font alive while the control uses it.
void EditCtl_SetFont(HWND window, HFONT font);
