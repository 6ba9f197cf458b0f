#include "editctl/edit_clipboard.h"

#include "editctl/clipboard_text.h"
#include "editctl/edit_effects.h"
#include "editctl/editing.h"
#include "editctl/text_model.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

#include <optional>
#include <string>

namespace {

// A movable block holding the selected units and a terminating zero,
// written there straight from the text, so that a copy costs no memory but
// the block; none when the block cannot be had.
GlobalBlock SelectionToGlobal(const TextModel& model) {
    const auto units = static_cast<size_t>(SelectionHigh(model) - SelectionLow(model));
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(char16_t)));
    const LockedGlobal<char16_t> target(block.get());
    if (!target.get())
        return {};
    WriteSelection(model, target.get());
    return block;
}

// The clipboard's text up to its terminating zero, and never past the block
// another program handed over, terminated or not. The block and the
// clipboard are let go also when copying the text runs out of memory.
std::optional<std::u16string> ReadClipboardText(HWND window) {
    OpenClipboardScope clipboard(window);
    if (!clipboard.IsOpen())
        return std::nullopt;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    LockedGlobal<const char16_t> units(block);
    if (!units.get())
        return std::nullopt;
    const size_t capacity = GlobalSize(block) / sizeof(char16_t);
    size_t length = 0;
    while (length < capacity && units.get()[length] != 0)
        ++length;
    return std::u16string(units.get(), length);
}

} // namespace

bool CopySelection(HWND window, const EditState& s) {
    if (s.model.anchor == s.model.caret)
        return false;
    // Filled before the clipboard opens, so a block that cannot be had
    // leaves the clipboard as it was, and other programs wait only for the
    // handover, not for the copy.
    GlobalBlock block = SelectionToGlobal(s.model);
    if (!block) {
        ModalUi_ReportOutOfMemory(GetAncestor(window, GA_ROOT));
        return false;
    }
    OpenClipboardScope clipboard(window);
    if (!clipboard.IsOpen())
        return false;
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block.get()))
        return false;
    block.release(); // the clipboard owns it now, and frees it when it lets go
    return true;
}

void CutSelection(HWND window, EditState& s) {
    // Text that did not reach the clipboard stays in the document.
    if (!CopySelection(window, s))
        return;
    DeleteSelection(s);
    EditCtl_ApplyEffects(window, s);
}

void PasteClipboard(HWND window, EditState& s) {
    // The clipboard is closed before the edit, so the parent may use it
    // when the change notification arrives.
    const std::optional<std::u16string> text = ReadClipboardText(window);
    if (!text)
        return;
    PasteText(s, *text);
    EditCtl_ApplyEffects(window, s);
}

bool ClipboardHasText() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}
