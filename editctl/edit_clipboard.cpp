#include "editctl/edit_clipboard.h"

#include "editctl/clipboard_text.h"
#include "editctl/edit_effects.h"
#include "editctl/editing.h"
#include "winkit/win_handles.h"

#include <cstring>
#include <optional>
#include <string>

namespace {

// A movable block holding the units and a terminating zero, or null.
HGLOBAL CopyToGlobal(const std::u16string& text) {
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return nullptr;
    {
        LockedGlobal<void> target(block);
        if (target.get()) {
            std::memcpy(target.get(), text.c_str(), bytes);
            return block;
        }
    }
    GlobalFree(block);
    return nullptr;
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
    const std::u16string selected = SelectedText(s.model);
    if (selected.empty())
        return false;
    OpenClipboardScope clipboard(window);
    if (!clipboard.IsOpen())
        return false;
    EmptyClipboard();
    HGLOBAL block = CopyToGlobal(selected);
    if (!block)
        return false;
    if (SetClipboardData(CF_UNICODETEXT, block))
        return true;
    GlobalFree(block);
    return false;
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
