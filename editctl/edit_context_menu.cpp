#include "editctl/edit_input.h"

#include "editctl/edit_clipboard.h"
#include "editctl/mouse.h"

namespace {

// The main window's Edit commands, which the parent carries out.
constexpr UINT kUndo = 40010;
constexpr UINT kCut = 40011;
constexpr UINT kCopy = 40012;
constexpr UINT kPaste = 40013;
constexpr UINT kDelete = 40014;
constexpr UINT kSelectAll = 40015;

void AddItem(HMENU menu, UINT id, const wchar_t* text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

void AddItems(HMENU menu, const ContextMenuStates& enabled) {
    AddItem(menu, kUndo, L"&Undo", enabled.undo);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCut, L"Cu&t", enabled.cut);
    AddItem(menu, kCopy, L"&Copy", enabled.copy);
    AddItem(menu, kPaste, L"&Paste", enabled.paste);
    AddItem(menu, kDelete, L"&Delete", enabled.del);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kSelectAll, L"Select &All", true);
}

} // namespace

void EditCtl_OnContextMenu(HWND window, const EditState& s, LPARAM lParam) {
    POINT at = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    ClientToScreen(window, &at);
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AddItems(menu, ContextMenuEnabled(s, ClipboardHasText()));
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD;
    const UINT chosen = TrackPopupMenu(menu, flags, at.x, at.y, 0, window, nullptr);
    HWND parent = GetParent(window);
    if (chosen && parent)
        SendMessageW(parent, WM_COMMAND, chosen, 0);
    DestroyMenu(menu);
}
