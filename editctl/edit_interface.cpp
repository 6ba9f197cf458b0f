#include "editctl/editctl.h"

#include "editctl/commands.h"
#include "editctl/edit_automation.h"
#include "editctl/edit_clipboard.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_record.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/view_metrics.h"

#include <algorithm>
#include <utility>

namespace {

// Runs a core operation on the control's record and carries out its
// effects; nothing without a record.
template <typename Operation> void Update(HWND window, Operation&& operation) {
    if (EditState* s = EditCtl_State(window)) {
        operation(*s);
        EditCtl_ApplyEffects(window, *s);
    }
}

template <typename Operation> void ReplaceWholeText(HWND window, Operation&& operation) {
    Update(window, operation);
    // No notification goes to the parent, but a reader must hear of new text.
    if (EditState* s = EditCtl_State(window))
        EditCtl_RaiseAutomationEvent(window, *s, AutomationEvent::TextChanged);
}

} // namespace

// ---- Text and selection ----

void EditCtl_SetText(HWND window, const std::u16string& text) {
    ReplaceWholeText(window, [&](EditState& s) { SetText(s, std::u16string_view(text)); });
}

void EditCtl_SetText(HWND window, std::u16string&& text) {
    ReplaceWholeText(window, [&](EditState& s) { AdoptText(s, std::move(text)); });
}

LineMetrics EditCtl_LineMetrics(HWND window) {
    const EditState* s = EditCtl_State(window);
    return s ? CurrentLineMetrics(*s) : LineMetrics();
}

void EditCtl_AdoptPrepared(HWND window, PreparedText&& prepared) {
    ReplaceWholeText(window, [&](EditState& s) { AdoptPrepared(s, std::move(prepared)); });
}

void EditCtl_ReloadText(HWND window, std::u16string&& text) {
    ReplaceWholeText(window, [&](EditState& s) { ReloadText(s, std::move(text)); });
}

void EditCtl_ReloadPrepared(HWND window, PreparedText&& prepared) {
    ReplaceWholeText(window, [&](EditState& s) { ReloadPrepared(s, std::move(prepared)); });
}

std::u16string EditCtl_GetText(HWND window) {
    const EditState* s = EditCtl_State(window);
    return s ? s->model.text.substr(0) : std::u16string();
}

std::vector<std::u16string_view> EditCtl_TextPieces(HWND window) {
    const EditState* s = EditCtl_State(window);
    return s ? s->model.text.pieces() : std::vector<std::u16string_view>();
}

int32_t EditCtl_GetTextLength(HWND window) {
    const EditState* s = EditCtl_State(window);
    return s ? static_cast<int32_t>(s->model.text.size()) : 0;
}

std::u16string EditCtl_GetTextPart(HWND window, int32_t start, int32_t count) {
    const EditState* s = EditCtl_State(window);
    if (!s || count <= 0)
        return {};
    const auto from =
        static_cast<size_t>(std::clamp(start, 0, static_cast<int32_t>(s->model.text.size())));
    return s->model.text.substr(from, static_cast<size_t>(count));
}

void EditCtl_SetTextObserver(HWND window, TextObserver* observer) {
    if (EditState* s = EditCtl_State(window))
        s->history.observer = observer;
}

void EditCtl_SetSelection(HWND window, int32_t anchor, int32_t caret) {
    Update(window, [&](EditState& s) { SetSelection(s, anchor, caret); });
}

void EditCtl_GetSelection(HWND window, int32_t* anchor, int32_t* caret) {
    const EditState* s = EditCtl_State(window);
    if (!s)
        return;
    if (anchor)
        *anchor = s->model.anchor;
    if (caret)
        *caret = s->model.caret;
}

void EditCtl_GetCaretLineCol(HWND window, int* line, int* column) {
    const EditState* s = EditCtl_State(window);
    const LineColumn at = s ? CaretLineColumn(*s) : LineColumn{};
    if (line)
        *line = at.line;
    if (column)
        *column = at.column;
}

wchar_t EditCtl_GetCharAtCaret(HWND window, int32_t* index) {
    const EditState* s = EditCtl_State(window);
    const CharAtCaret at = s ? CharacterAtCaret(*s) : CharAtCaret{};
    if (index)
        *index = at.index;
    return static_cast<wchar_t>(at.unit);
}

void EditCtl_SelectAll(HWND window) {
    Update(window, [](EditState& s) { SelectAll(s); });
}

void EditCtl_EnsureCaretVisible(HWND window) {
    Update(window, [](EditState& s) { EnsureCaretVisible(s); });
}

// ---- Editing and clipboard ----

void EditCtl_ReplaceRange(HWND window, int32_t start, int32_t end, std::u16string text) {
    Update(window, [&](EditState& s) { ReplaceRange(s, start, end, std::move(text)); });
}

void EditCtl_ReplaceMatches(HWND window, std::vector<int32_t> positions, int32_t length,
                            std::u16string_view text) {
    Update(window, [&](EditState& s) { ReplaceMatches(s, std::move(positions), length, text); });
}

void EditCtl_Undo(HWND window) {
    Update(window, [](EditState& s) { Undo(s); });
}

void EditCtl_Cut(HWND window) {
    if (EditState* s = EditCtl_State(window))
        CutSelection(window, *s);
}

void EditCtl_Copy(HWND window) {
    if (const EditState* s = EditCtl_State(window))
        CopySelection(window, *s);
}

void EditCtl_Paste(HWND window) {
    if (EditState* s = EditCtl_State(window))
        PasteClipboard(window, *s);
}

void EditCtl_Delete(HWND window) {
    Update(window, [](EditState& s) { DeleteSelection(s); });
}

bool EditCtl_IsModified(HWND window) {
    const EditState* s = EditCtl_State(window);
    return s && s->history.modified;
}

void EditCtl_SetReadOnly(HWND window, bool readOnly) {
    if (EditState* s = EditCtl_State(window))
        s->history.readOnly = readOnly;
}

void EditCtl_SetModified(HWND window, bool modified) {
    if (EditState* s = EditCtl_State(window))
        s->history.modified = modified;
}

// ---- View settings ----

void EditCtl_SetWordWrap(HWND window, bool on) {
    Update(window, [&](EditState& s) { SetWordWrap(s, on); });
}

void EditCtl_SetGutterLines(HWND window, int32_t lines) {
    Update(window, [&](EditState& s) { SetGutterLines(s, lines); });
}

void EditCtl_SetShowLineNumbers(HWND window, bool on) {
    Update(window, [&](EditState& s) { SetShowLineNumbers(s, on); });
}

void EditCtl_SetInsertSpaces(HWND window, bool on) {
    if (EditState* s = EditCtl_State(window))
        s->view.insertSpaces = on;
}

void EditCtl_SetScrollSpeed(HWND window, double speed) {
    if (EditState* s = EditCtl_State(window))
        SetScrollSpeed(*s, speed);
}
