// The tab list: New, Next Tab, activation by the tab strip, what each tab
// keeps, the radio groups that follow the active document, closing.
#include "tests/win/app_window_fixture.h"

#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"

namespace {

bool Radio(HMENU menu, int id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int32_t Caret(HWND edit) {
    int32_t anchor = 0;
    int32_t caret = 0;
    EditCtl_GetSelection(edit, &anchor, &caret);
    return caret;
}

} // namespace

using TabsTest = MainWindowTest;

TEST_F(TabsTest, NewAddsAnActiveUntitledTab) {
    Create();
    Type(L'a');
    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    MainWindow& mw = Record();
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(mw.activeIndex, 1);
    EXPECT_EQ(mw.activeEdit, mw.documents[1].editWindow);
    EXPECT_EQ(TabCount(), 2);
    EXPECT_EQ(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(TabText(0), L" *Untitled ");
    EXPECT_EQ(TabText(1), L" Untitled "); // not numbered apart
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_FALSE(Shown(mw.documents[0].editWindow));
    EXPECT_TRUE(Shown(mw.documents[1].editWindow));
    // The modified first tab was asked about; No let New go on.
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(TabsTest, NewAfterNoLeavesTheModifiedTabAndCancelStops) {
    Create();
    Type(L'a');
    answer_ = IDCANCEL;
    Command(IDM_FILE_NEW);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, L"Do you want to save changes?");
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING));
    EXPECT_EQ(Record().documents.size(), 1u);

    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    EXPECT_EQ(Record().documents.size(), 2u);
    EXPECT_EQ(TabText(0), L" *Untitled ");
    // Yes with no way to save yet stops like a failed save.
    Type(L'b');
    answer_ = IDYES;
    Command(IDM_FILE_NEW);
    EXPECT_EQ(Record().documents.size(), 2u);
}

TEST_F(TabsTest, SwitchingKeepsEachTabsTextCaretAndModifiedState) {
    Create();
    Type(L'a');
    Type(L'b');
    Type(L'c');
    SendMessageW(Record().activeEdit, WM_KEYDOWN, VK_LEFT, 1);
    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    Type(L'z');
    MainWindow& mw = Record();
    HWND first = mw.documents[0].editWindow;
    HWND second = mw.documents[1].editWindow;
    // The second tab clean again, as a save would leave it.
    MainWnd_SetModified(mw, window_, false);

    Command(IDM_NEXT_TAB); // past the last: the first
    EXPECT_EQ(mw.activeIndex, 0);
    EXPECT_EQ(mw.activeEdit, first);
    EXPECT_EQ(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Shown(first));
    EXPECT_FALSE(Shown(second));
    EXPECT_EQ(EditCtl_GetText(first), u"abc");
    EXPECT_EQ(Caret(first), 2);
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 3");
    EXPECT_EQ(StatusText(3), L"x0063");
    // Leaving the second tab copied its control's clean flag.
    EXPECT_FALSE(mw.documents[1].modified);

    // The user picks the second tab on the strip.
    SendMessageW(mw.tabControl, TCM_SETCURSEL, 1, 0);
    NMHDR change = {mw.tabControl, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(mw.activeIndex, 1);
    EXPECT_EQ(EditCtl_GetText(second), u"z");
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 2");
}

TEST_F(TabsTest, NextTabAndActivationIgnoreWhatIsNotThere) {
    Create();
    MainWindow& mw = Record();
    Command(IDM_NEXT_TAB); // one tab: nothing
    EXPECT_EQ(mw.activeIndex, 0);

    Command(IDM_FILE_NEW);
    Command(IDM_FILE_NEW);
    EXPECT_EQ(mw.activeIndex, 2);
    Command(IDM_NEXT_TAB);
    EXPECT_EQ(mw.activeIndex, 0);
    Command(IDM_NEXT_TAB);
    EXPECT_EQ(mw.activeIndex, 1);

    MainWnd_ActivateTab(mw, window_, 3);
    MainWnd_ActivateTab(mw, window_, -1);
    EXPECT_EQ(mw.activeIndex, 1);
    // A selection the documents do not have is ignored.
    NMHDR change = {mw.tabControl, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(mw.tabControl, TCM_SETCURSEL, 7, 0);
    SendMessageW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(mw.activeIndex, 1);
}

TEST_F(TabsTest, RadioGroupsAndStatusFollowTheActiveDocument) {
    Create();
    Command(IDM_FILE_NEW);
    Command(IDM_FILE_NEW);
    MainWindow& mw = Record();
    Document& ansiUnix = mw.documents[1];
    ansiUnix.encoding = TextEncoding::Ansi;
    ansiUnix.encodingLabel = u"ANSI";
    ansiUnix.lineEnding = LineEnding::Lf;
    ansiUnix.lineEndingLabel = u"Unix";
    Document& mixed = mw.documents[2];
    mixed.lineEnding = LineEnding::Mixed;
    mixed.lineEndingLabel = u"Mixed";

    MainWnd_ActivateTab(mw, window_, 1);
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
    EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_LF));
    EXPECT_FALSE(Radio(mw.lineEndingMenu, IDM_EOL_CRLF));
    EXPECT_EQ(StatusText(1), L"ANSI");
    EXPECT_EQ(StatusText(2), L"Unix");

    MainWnd_ActivateTab(mw, window_, 2);
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_CRLF)); // Mixed shows Windows
    EXPECT_EQ(StatusText(2), L"Mixed");

    // The view check marks show the settings, whichever tab is active.
    EXPECT_TRUE(GetMenuState(mw.mainMenu, IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND) & MF_CHECKED);

    // A reset gives the active tab a new document's values.
    mw.documents[2].path = u"C:\\x.txt";
    mw.documents[2].displayName = u"x.txt";
    Type(L'q');
    MainWnd_ResetActiveDocument(mw, window_);
    EXPECT_TRUE(mw.documents[2].path.empty());
    EXPECT_EQ(mw.documents[2].lineEndingLabel, u"Win");
    EXPECT_EQ(EditCtl_GetText(mw.activeEdit), u"");
    EXPECT_FALSE(EditCtl_IsModified(mw.activeEdit));
    EXPECT_EQ(TabText(2), L" Untitled ");
    EXPECT_EQ(StatusText(2), L"Win");
}

TEST_F(TabsTest, CloseTabActivatesTheNeighbourAndNeverLeavesNone) {
    Create();
    Command(IDM_FILE_NEW);
    Command(IDM_FILE_NEW);
    MainWindow& mw = Record();
    HWND closing = mw.documents[1].editWindow;
    HWND third = mw.documents[2].editWindow;
    MainWnd_ActivateTab(mw, window_, 1);
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_FALSE(IsWindow(closing));
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabCount(), 2);
    EXPECT_EQ(mw.activeIndex, 1); // the tab that moved into its place
    EXPECT_EQ(mw.activeEdit, third);

    Command(IDM_FILE_CLOSE_TAB); // the last: the new last becomes active
    EXPECT_EQ(mw.activeIndex, 0);
    HWND only = mw.activeEdit;
    Type(L'x');
    answer_ = IDCANCEL;
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(mw.documents.size(), 1u); // Cancel keeps it
    EXPECT_EQ(messages_.size(), 1u);
    answer_ = IDNO;
    // The close button's click arrives as the same command.
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_BUTTON, STN_CLICKED),
                 reinterpret_cast<LPARAM>(mw.closeButton));
    EXPECT_FALSE(IsWindow(only));
    ASSERT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(mw.activeIndex, 0);
    EXPECT_EQ(TabText(0), L" Untitled ");
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_TRUE(Shown(mw.activeEdit));
}

TEST_F(TabsTest, KeyboardFocusMovesWithTheActiveTab) {
    Create();
    ShowWindow(window_, SW_SHOW);
    MainWindow& mw = Record();
    SetFocus(mw.activeEdit);
    ASSERT_EQ(GetFocus(), mw.activeEdit);
    Command(IDM_FILE_NEW);
    EXPECT_EQ(GetFocus(), mw.activeEdit);
    Type(L'n');
    EXPECT_EQ(EditCtl_GetText(mw.documents[1].editWindow), u"n");

    Command(IDM_NEXT_TAB);
    EXPECT_EQ(GetFocus(), mw.documents[0].editWindow);
    // Keys typed now go to the shown tab, not the hidden one.
    SendMessageW(GetFocus(), WM_CHAR, L'f', 1);
    EXPECT_EQ(EditCtl_GetText(mw.documents[0].editWindow), u"f");
    EXPECT_EQ(EditCtl_GetText(mw.documents[1].editWindow), u"n");

    answer_ = IDNO;
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(GetFocus(), mw.activeEdit);
    Command(IDM_FILE_CLOSE_TAB); // the last tab: its replacement takes the focus
    EXPECT_EQ(GetFocus(), mw.activeEdit);
}

TEST_F(TabsTest, TitleAndCaptionAreWrittenOnlyWhenTheModifiedFlagFlips) {
    Create();
    Type(L'a');
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    // Stand-ins that a rewrite would replace.
    SetWindowTextW(window_, L"kept");
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"kept");
    SendMessageW(Record().tabControl, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    Type(L'b');
    EXPECT_EQ(Title(), L"kept");
    EXPECT_EQ(TabText(0), L"kept");

    MainWnd_SetModified(Record(), window_, false);
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_EQ(TabText(0), L" Untitled ");
}
