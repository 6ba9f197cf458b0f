// The EditCtl_ functions: their effects, their notifications and their
// neutral results on windows without a control record.
#include "tests/win/editctl_fixture.h"

using Sent = std::vector<WORD>;

TEST_F(EditCtlTest, SettersAndGettersNotifyExactlyAsDocumented) {
    EditCtl_SetText(edit, u"0123456789");
    EXPECT_EQ(Codes(), (Sent{}));
    EXPECT_FALSE(EditCtl_IsModified(edit));

    EditCtl_SetSelection(edit, -5, 500);
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 10);
    EXPECT_EQ(Codes(), (Sent{CEN_SELCHANGE}));

    int32_t index = 7;
    EXPECT_EQ(EditCtl_GetCharAtCaret(edit, &index), L'\0');
    EXPECT_EQ(index, -1);
    EditCtl_SetSelection(edit, 9, 3); // backward
    EXPECT_EQ(Anchor(), 9);
    EXPECT_EQ(EditCtl_GetCharAtCaret(edit, &index), L'3');
    EXPECT_EQ(index, 3);

    ClearReceived();
    EditCtl_SelectAll(edit);
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 10);
    EXPECT_EQ(Codes(), (Sent{CEN_SELCHANGE}));
}

TEST_F(EditCtlTest, EditsWithoutEffectSendNothing) {
    Reset(u"keep");
    EditCtl_SetSelection(edit, 2, 2);
    ClearReceived();
    EditCtl_Delete(edit);
    EditCtl_Cut(edit);
    EditCtl_Undo(edit); // SetText emptied the history
    EXPECT_EQ(Text(), u"keep");
    EXPECT_EQ(Codes(), (Sent{}));
    EXPECT_FALSE(EditCtl_IsModified(edit));

    EditCtl_SetSelection(edit, 1, 3);
    ClearReceived();
    EditCtl_Delete(edit);
    EXPECT_EQ(Text(), u"kp");
    EXPECT_EQ(Codes(), (Sent{CEN_CHANGE}));
    EXPECT_TRUE(EditCtl_IsModified(edit));
    EditCtl_SetModified(edit, false);
    EditCtl_Undo(edit);
    EXPECT_EQ(Text(), u"keep");
    EXPECT_FALSE(EditCtl_IsModified(edit)); // undo leaves the flag alone
    EXPECT_EQ(Codes(), (Sent{CEN_CHANGE, CEN_CHANGE}));
}

TEST_F(EditCtlTest, CaretLineAndColumnCountCodeUnits) {
    Reset(u"one\r\ntwo\r\n\tx");
    EditCtl_SetSelection(edit, 11, 11); // right after the tab
    int line = 0;
    int column = 0;
    EditCtl_GetCaretLineCol(edit, &line, &column);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 2);
    EditCtl_GetCaretLineCol(edit, nullptr, &column); // either output may be absent
    EditCtl_GetCaretLineCol(edit, &line, nullptr);

    // Wrapping does not restart the column.
    EditCtl_SetWordWrap(edit, true);
    const std::u16string longLine(500, u'w');
    Reset(longLine);
    EditCtl_SetSelection(edit, 400, 400);
    EditCtl_GetCaretLineCol(edit, &line, &column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 401);
}

TEST_F(EditCtlTest, TheParentMayQueryTheControlWhileNotified) {
    // The parent's handler runs inside the notification; the control must
    // already be in its final state then.
    struct Seen {
        std::u16string text;
        int32_t caret = -1;
    };
    static Seen seen;
    static HWND control;
    control = edit;
    auto hook = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_COMMAND && HIWORD(wParam) == CEN_CHANGE) {
            seen.text = EditCtl_GetText(control);
            EditCtl_GetSelection(control, nullptr, &seen.caret);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    };
    SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+hook));
    Reset(u"ac");
    EditCtl_SetSelection(edit, 1, 1);
    Type(u"b");
    EXPECT_EQ(seen.text, u"abc");
    EXPECT_EQ(seen.caret, 2);
}

TEST_F(EditCtlTest, WindowsWithoutARecordGiveNeutralResults) {
    // A window of another class whose user-data slot holds something else,
    // a destroyed control and no window at all.
    SetWindowLongPtrW(parent, GWLP_USERDATA, 0x1234);
    HWND destroyed = EditCtl_Create(parent, 0, 0, 100, 100, 7, GetModuleHandleW(nullptr));
    ASSERT_NE(destroyed, nullptr);
    DestroyWindow(destroyed);
    for (HWND window : {parent, destroyed, HWND{}}) {
        EditCtl_SetText(window, u"x");
        EditCtl_SetSelection(window, 0, 1);
        EditCtl_SelectAll(window);
        EditCtl_EnsureCaretVisible(window);
        EditCtl_Undo(window);
        EditCtl_Cut(window);
        EditCtl_Copy(window);
        EditCtl_Paste(window);
        EditCtl_Delete(window);
        EditCtl_SetModified(window, true);
        EditCtl_SetWordWrap(window, false);
        EditCtl_SetShowLineNumbers(window, false);
        EditCtl_SetInsertSpaces(window, true);
        EditCtl_SetScrollSpeed(window, 3);
        EditCtl_SetFont(window, font.get());

        EXPECT_EQ(EditCtl_GetText(window), u"");
        int32_t anchor = 42;
        int32_t caret = 43;
        EditCtl_GetSelection(window, &anchor, &caret);
        EXPECT_EQ(anchor, 42);
        EXPECT_EQ(caret, 43);
        int line = 0;
        int column = 0;
        EditCtl_GetCaretLineCol(window, &line, &column);
        EXPECT_EQ(line, 1);
        EXPECT_EQ(column, 1);
        int32_t index = 5;
        EXPECT_EQ(EditCtl_GetCharAtCaret(window, &index), L'\0');
        EXPECT_EQ(index, -1);
        EXPECT_FALSE(EditCtl_IsModified(window));
    }
    EXPECT_EQ(GetWindowLongPtrW(parent, GWLP_USERDATA), 0x1234);
    EXPECT_TRUE(Received().empty());
}

TEST_F(EditCtlTest, ClassAndWindowStyles) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"CustomEditControl", &wc));
    EXPECT_EQ(wc.style, UINT{CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS});
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, IDC_IBEAM));
    const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(GetDlgCtrlID(edit), kId);
    EXPECT_EQ(SendMessageW(edit, WM_ERASEBKGND, 0, 0), 1);
    // A second registration in the same process fails and breaks nothing.
    EXPECT_FALSE(EditCtl_RegisterClass(GetModuleHandleW(nullptr)));
    EditCtl_SetText(edit, u"still works");
    EXPECT_EQ(Text(), u"still works");
}
