// Find and replace on a real main window: requests sent as the dialogs send
// them, F3, and the real common dialogs pressed through their controls.
#include "tests/win/app_window_fixture.h"

#include "editctl/editctl.h"
#include "winkit/command_ids.h"

#include <dlgs.h>

#include <cwchar>
#include <string>
#include <utility>

namespace {

constexpr wchar_t kNotFound[] = L"Cannot find the specified text.";

class FindTest : public MainWindowTest {
  protected:
    void Start(const std::u16string& text, const wchar_t* what, const wchar_t* with = L"") {
        Create();
        EditCtl_SetText(Edit(), text);
        wcscpy(Record().findWhat, what);
        wcscpy(Record().replaceWith, with);
    }
    HWND Edit() { return Record().activeEdit; }
    std::u16string Text() { return EditCtl_GetText(Edit()); }
    std::pair<int32_t, int32_t> Selection() {
        std::pair<int32_t, int32_t> selection(-1, -1);
        EditCtl_GetSelection(Edit(), &selection.first, &selection.second);
        return selection;
    }
    void Select(int32_t anchor, int32_t caret) { EditCtl_SetSelection(Edit(), anchor, caret); }
    // What a dialog does on a button press: flags into its block, then the message.
    void Request(DWORD flags) {
        Record().findReplace.Flags = flags;
        SendMessageW(window_, findReplaceMessage, 0,
                     reinterpret_cast<LPARAM>(&Record().findReplace));
    }
    std::wstring LastMessage() const { return messages_.empty() ? L"" : messages_.back().text; }
    bool Modified() { return Record().documents[0].modified; }
};

TEST_F(FindTest, FindNextGoesDownAndUpWithoutWrapping) {
    Start(u"cat concat Cat", L"cat");
    Request(FR_FINDNEXT | FR_DOWN);
    Request(FR_FINDNEXT | FR_DOWN);
    EXPECT_EQ(Selection(), std::make_pair(7, 10));
    Request(FR_FINDNEXT | FR_DOWN);
    EXPECT_EQ(Selection(), std::make_pair(11, 14));
    EXPECT_TRUE(messages_.empty());
    Request(FR_FINDNEXT | FR_DOWN);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, kNotFound);
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(Selection(), std::make_pair(11, 14));

    Request(FR_FINDNEXT | FR_WHOLEWORD); // up, skipping "concat"
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    Command(IDM_EDIT_FIND_NEXT); // F3 keeps those flags: up from the start finds it again
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_FALSE(Modified());

    // Requests from anything but the dialogs' own block are not read.
    FINDREPLACEW stranger = Record().findReplace;
    stranger.Flags = FR_FINDNEXT | FR_DOWN;
    SendMessageW(window_, findReplaceMessage, 0, reinterpret_cast<LPARAM>(&stranger));
    SendMessageW(window_, findReplaceMessage, 0, 0);
    EXPECT_FALSE(Record().searchDown);
    EXPECT_EQ(Selection(), std::make_pair(0, 3));

    // Without search text, F3 opens the Find dialog and a request finds nothing.
    Record().findWhat[0] = 0;
    Request(FR_FINDNEXT | FR_DOWN);
    EXPECT_EQ(messages_.size(), 1u);
    Command(IDM_EDIT_FIND_NEXT);
    EXPECT_TRUE(IsWindow(Record().findDialog));
}

TEST_F(FindTest, ReplaceChangesWhateverIsSelectedAndUndoes) {
    Start(u"one two one one", L"one", L"1");
    Request(FR_REPLACE | FR_DOWN); // nothing selected: nothing replaced, the next match found
    EXPECT_EQ(Text(), u"one two one one");
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    EXPECT_FALSE(Modified());
    Select(7, 4); // "two", no match and selected backwards, is replaced all the same
    Request(FR_REPLACE | FR_DOWN);
    EXPECT_EQ(Text(), u"one 1 one one");
    EXPECT_EQ(Selection(), std::make_pair(6, 9));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    Request(FR_REPLACE | FR_DOWN);
    Request(FR_REPLACE | FR_DOWN); // nothing follows the last one
    EXPECT_EQ(Text(), u"one 1 1 1");
    EXPECT_EQ(Selection(), std::make_pair(8, 9));
    EXPECT_EQ(LastMessage(), kNotFound);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), u"one 1 1 one");
}

TEST_F(FindTest, ReplaceAllCountsEndsAndUndoesInOneStep) {
    Start(u"aaa", L"a", L"aa");
    Select(2, 3);
    Request(FR_REPLACEALL | FR_DOWN);
    EXPECT_EQ(Text(), u"aaaaaa");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, L"Replaced 3 occurrence(s).");
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(Selection(), std::make_pair(4, 6));
    EXPECT_TRUE(Modified());
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(Text(), u"aaa");

    // Searching up, each replacement (which begins with the search text)
    // would be found again forever: Replace All always goes down.
    wcscpy(Record().findWhat, L"a");
    wcscpy(Record().replaceWith, L"ab");
    Request(FR_REPLACEALL);
    EXPECT_EQ(Text(), u"ababab");
    EXPECT_EQ(LastMessage(), L"Replaced 3 occurrence(s).");

    wcscpy(Record().findWhat, L"dog");
    Request(FR_REPLACEALL | FR_DOWN);
    EXPECT_EQ(LastMessage(), L"Replaced 0 occurrence(s).");
    EXPECT_EQ(Selection(), std::make_pair(0, 0));
}

// The real dialogs: one at a time, options shown, buttons pressed.
TEST_F(FindTest, RealDialogsOpenOneAtATimeAndReport) {
    Start(u"Red red RED", L"");
    Record().wholeWord = true;
    Command(IDM_EDIT_FIND);
    HWND find = Record().findDialog;
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(Record().findReplace.lpstrReplaceWith, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(find, rad2), static_cast<UINT>(BST_CHECKED)); // down
    EXPECT_EQ(IsDlgButtonChecked(find, chx1), static_cast<UINT>(BST_CHECKED));
    Command(IDM_EDIT_REPLACE); // only focuses the open Find dialog
    EXPECT_EQ(Record().findDialog, find);

    SetDlgItemTextW(find, edt1, L"red");
    CheckDlgButton(find, chx2, BST_CHECKED); // match case
    SendMessageW(find, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Selection(), std::make_pair(4, 7));
    SendMessageW(find, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(LastMessage(), kNotFound);
    SendMessageW(find, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(Record().findDialog, nullptr);
    EXPECT_FALSE(IsWindow(find));

    Command(IDM_EDIT_REPLACE);
    HWND replace = Record().findDialog;
    ASSERT_NE(replace, nullptr);
    wchar_t what[16] = {};
    GetDlgItemTextW(replace, edt1, what, 16);
    EXPECT_STREQ(what, L"red");
    CheckDlgButton(replace, chx2, BST_UNCHECKED);
    SetDlgItemTextW(replace, edt2, L"green");
    SendMessageW(replace, WM_COMMAND, psh2, 0); // Replace All
    EXPECT_EQ(Text(), u"green green green");
    EXPECT_EQ(LastMessage(), L"Replaced 3 occurrence(s).");

    DestroyWindow(replace); // gone without a word: the next command opens a new one
    Command(IDM_EDIT_FIND);
    EXPECT_TRUE(IsWindow(Record().findDialog));
}

} // namespace
