// The keyboard shortcuts and the modal UI seam.
#include "app/menu.h"
#include "winkit/command_ids.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Shortcut {
    int id;
    std::wstring keys; // as the menu shows them: "Ctrl+Shift+S", "F3", "Ctrl++"
};

// Every menu item that shows a shortcut after its tab.
void Shortcuts(HMENU menu, std::vector<Shortcut>& found) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.hSubMenu)
            Shortcuts(info.hSubMenu, found);
        else if (const wchar_t* tab = std::wcschr(text, L'\t'))
            found.push_back({static_cast<int>(info.wID), tab + 1});
    }
}

int g_command = 0;

LRESULT CALLBACK Target(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == 1)
        g_command = LOWORD(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// The command a key pressed with Ctrl and Shift as given turns into, or 0.
int Translate(HACCEL table, HWND target, UINT key, bool ctrl, bool shift) {
    BYTE state[256] = {};
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    MSG message = {};
    message.hwnd = target;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    g_command = 0;
    TranslateAcceleratorW(target, table, &message);
    const BYTE none[256] = {};
    SetKeyboardState(const_cast<BYTE*>(none));
    return g_command;
}

} // namespace

// Each shortcut the menus show gives its item's command, with every key
// that types the sign it names (both plus keys for "Ctrl++"), and only
// with the modifiers shown. The clipboard keys are the edit control's own.
TEST(AppAccelerators, EveryShortcutTheMenusShowGivesItsItem) {
    const Accelerators table(MainWnd_CreateAccelerators());
    ASSERT_TRUE(table);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Target;
    windowClass.lpszClassName = L"AcceleratorTarget";
    RegisterClassW(&windowClass);
    HWND target = CreateWindowW(L"AcceleratorTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    const MenuHandle bar(MainWnd_BuildMenu(nullptr));
    std::vector<Shortcut> shortcuts;
    Shortcuts(bar.get(), shortcuts);
    shortcuts.push_back({IDM_NEXT_TAB, L"Ctrl+Tab"});
    ASSERT_GT(shortcuts.size(), 10u);

    for (const Shortcut& shortcut : shortcuts) {
        std::wstring key = shortcut.keys;
        const bool ctrl = key.rfind(L"Ctrl+", 0) == 0;
        if (ctrl)
            key.erase(0, 5);
        const bool shift = key.rfind(L"Shift+", 0) == 0;
        if (shift)
            key.erase(0, 6);
        std::vector<UINT> codes;
        if (key == L"+")
            codes = {VK_OEM_PLUS, VK_ADD};
        else if (key == L"-")
            codes = {VK_OEM_MINUS, VK_SUBTRACT};
        else if (key == L"Tab")
            codes = {VK_TAB};
        else if (key.size() > 1 && key[0] == L'F')
            codes = {static_cast<UINT>(VK_F1 + std::stoi(key.substr(1)) - 1)};
        else if (key.size() == 1)
            codes = {key[0]};
        ASSERT_FALSE(codes.empty()) << shortcut.keys;
        const bool clipboard = ctrl && !shift && (key == L"X" || key == L"C" || key == L"V");
        for (UINT code : codes) {
            EXPECT_EQ(Translate(table.get(), target, code, ctrl, shift),
                      clipboard ? 0 : shortcut.id)
                << shortcut.keys << " " << code;
            if (ctrl) {
                EXPECT_EQ(Translate(table.get(), target, code, false, shift), 0) << shortcut.keys;
            }
            EXPECT_NE(Translate(table.get(), target, code, ctrl, !shift), shortcut.id)
                << shortcut.keys;
        }
    }
    DestroyWindow(target);
}

TEST(AppModalUi, HandlersSeeTheCallsAndUnsetOnesCancel) {
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;
    ModalUiHandlers handlers;
    handlers.messageBox = [&](HWND, const std::wstring& t, const std::wstring& c, UINT f) {
        text = t;
        caption = c;
        flags = f;
        return IDNO;
    };
    ModalUi_SetHandlers(&handlers);
    EXPECT_EQ(ModalUi_MessageBox(nullptr, L"Body", L"Title", MB_YESNOCANCEL | MB_ICONWARNING),
              IDNO);
    EXPECT_EQ(text, L"Body");
    EXPECT_EQ(caption, L"Title");
    EXPECT_EQ(flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING));

    // Without their handlers the other dialogs answer as if cancelled.
    OPENFILENAMEW open = {};
    EXPECT_FALSE(ModalUi_GetOpenFileName(open).chosen);
    EXPECT_FALSE(ModalUi_GetSaveFileName(open).chosen);
    CHOOSEFONTW font = {};
    EXPECT_FALSE(ModalUi_ChooseFont(font));
    EXPECT_EQ(ModalUi_PickFolder(nullptr, L"Select folder to open"), L"");
    TASKDIALOGCONFIG config = {};
    EXPECT_FALSE(ModalUi_TaskDialog(config));
    EXPECT_FALSE(ModalUi_StartProcess(L"\"nothing.exe\""));
    handlers.messageBox = nullptr;
    EXPECT_EQ(ModalUi_MessageBox(nullptr, L"Body", L"Title", MB_OK), IDCANCEL);
    ModalUi_SetHandlers(nullptr);
}
