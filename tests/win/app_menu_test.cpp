// The accelerator table and the modal UI seam.
#include "app/menu.h"
#include "winkit/command_ids.h"
#include "winkit/modal_ui.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(AppAccelerators, SeventeenEntriesInTheirOrder) {
    HACCEL table = MainWnd_CreateAccelerators();
    ASSERT_NE(table, nullptr);
    ACCEL entries[32] = {};
    const int count = CopyAcceleratorTableW(table, entries, 32);
    DestroyAcceleratorTable(table);
    ASSERT_EQ(count, 17);

    constexpr BYTE C = FVIRTKEY | FCONTROL;
    constexpr BYTE CS = FVIRTKEY | FCONTROL | FSHIFT;
    const ACCEL expected[17] = {
        {C, 'N', 40001},          {CS, 'N', 40002},          {C, 'O', 40003},
        {C, 'S', 40005},          {CS, 'S', 40006},          {C, 'W', 40007},
        {C, 'Z', 40010},          {C, 'A', 40015},           {C, 'F', 40016},
        {FVIRTKEY, VK_F3, 40017}, {C, 'H', 40018},           {C, VK_TAB, 40009},
        {C, VK_OEM_PLUS, 40033},  {C, VK_ADD, 40033},        {C, VK_OEM_MINUS, 40034},
        {C, VK_SUBTRACT, 40034},  {FVIRTKEY, VK_F11, 40023},
    };
    for (int i = 0; i < 17; ++i) {
        // The last entry of a table carries an end marker in its flags.
        EXPECT_EQ(entries[i].fVirt & 0x7F, expected[i].fVirt) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
    }
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
