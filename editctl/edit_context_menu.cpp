#include "editctl/edit_input.h"

#include "editctl/context_menu.h"
#include "editctl/edit_clipboard.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

namespace {

void AddItem(HMENU menu, int id, const wchar_t* text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

void AddItems(HMENU menu, const ContextMenuStates& enabled) {
    AddItem(menu, IDM_EDIT_UNDO, L"&Undo", enabled.undo);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, IDM_EDIT_CUT, L"Cu&t", enabled.cut);
    AddItem(menu, IDM_EDIT_COPY, L"&Copy", enabled.copy);
    AddItem(menu, IDM_EDIT_PASTE, L"&Paste", enabled.paste);
    AddItem(menu, IDM_EDIT_DELETE, L"&Delete", enabled.del);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, IDM_EDIT_SELECT_ALL, L"Select &All", true);
}

} // namespace

void EditCtl_OnContextMenu(HWND window, const EditState& s, LPARAM lParam) {
    POINT at = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    ClientToScreen(window, &at);
    const MenuHandle menu(CreatePopupMenu());
    if (!menu)
        return;
    AddItems(menu.get(), ContextMenuEnabled(s, ClipboardHasText()));
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD;
    const UINT chosen = TrackPopupMenu(menu.get(), flags, at.x, at.y, 0, window, nullptr);
    HWND parent = GetParent(window);
    if (chosen && parent)
        SendMessageW(parent, WM_COMMAND, chosen, 0);
}
