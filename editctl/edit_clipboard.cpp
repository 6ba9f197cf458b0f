#include "editctl/edit_clipboard.h"

#include "editctl/clipboard_text.h"
#include "editctl/edit_window.h"
#include "editctl/editing.h"

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
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(block);
    return block;
}

// The clipboard's text up to its terminating zero, and never past the block
// another program handed over, terminated or not. The block and the
// clipboard are let go also when copying the text runs out of memory.
std::optional<std::u16string> ReadClipboardText(HWND window) {
    if (!OpenClipboard(window))
        return std::nullopt;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    const auto* units = block ? static_cast<const char16_t*>(GlobalLock(block)) : nullptr;
    if (!units) {
        CloseClipboard();
        return std::nullopt;
    }
    const size_t capacity = GlobalSize(block) / sizeof(char16_t);
    size_t length = 0;
    while (length < capacity && units[length] != 0)
        ++length;
    std::optional<std::u16string> text;
    try {
        text.emplace(units, length);
    } catch (...) {
        GlobalUnlock(block);
        CloseClipboard();
        throw;
    }
    GlobalUnlock(block);
    CloseClipboard();
    return text;
}

} // namespace

bool CopySelection(HWND window, const EditState& s) {
    const std::u16string selected = SelectedText(s);
    if (selected.empty() || !OpenClipboard(window))
        return false;
    EmptyClipboard();
    bool copied = false;
    if (HGLOBAL block = CopyToGlobal(selected)) {
        copied = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        if (!copied)
            GlobalFree(block);
    }
    CloseClipboard();
    return copied;
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
