// The save prompt before New, Open, Open Folder and closing a tab, and the
// closing of the window with several modified documents: Yes, No, Cancel and
// a save that fails, each with what reaches the disk.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/closing.h"
#include "docs/file_commands.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"

namespace {

const wchar_t kPrompt[] = L"Do you want to save changes?";

} // namespace

class ClosingTest : public FileCommandsTest {
  protected:
    // A window whose one tab holds name, loaded, then edited with `typed`.
    void CreateWithEditedFile(const std::string& name, const std::string& bytes, wchar_t typed) {
        Write(name, bytes);
        Create();
        ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf(name)));
        Type(typed);
    }
    int Prompts() const {
        int count = 0;
        for (const ShownMessage& m : messages_)
            count += m.text == kPrompt;
        return count;
    }
    void Close() { SendMessageW(window_, WM_CLOSE, 0, 0); }
};

TEST_F(ClosingTest, NewSavesOnYesAndStopsWhenTheSaveDoesNot) {
    CreateWithEditedFile("a.txt", "a", L'1');
    MainWindow& mw = Record();
    ASSERT_FALSE(IsActiveTabReusable(mw));
    answer_ = IDYES;
    Command(IDM_FILE_NEW);
    EXPECT_EQ(Read("a.txt"), "1a");
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabText(0), L" a.txt ");

    // Untitled: Yes shows the save dialog; cancelling it opens no tab.
    Type(L'2');
    Command(IDM_FILE_NEW);
    EXPECT_EQ(saveDialogs_.size(), 1u);
    EXPECT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabText(1), L" *Untitled ");
    savePath_ = PathOf("two.txt");
    Command(IDM_FILE_NEW);
    EXPECT_EQ(Read("two.txt"), "2");
    EXPECT_EQ(mw.documents.size(), 3u);
    EXPECT_EQ(TabText(1), L" two.txt ");

    // A save that fails counts as Cancel and keeps the "*".
    MakeReadOnly("two.txt");
    MainWnd_ActivateTab(mw, window_, 1);
    Type(L'3');
    Command(IDM_FILE_NEW);
    EXPECT_TRUE(IsFileError(messages_.back(), L"Failed to save file.", L"read-only"));
    EXPECT_EQ(mw.documents.size(), 3u);
    EXPECT_EQ(mw.activeIndex, 1);
    EXPECT_EQ(TabText(1), L" *two.txt ");
    EXPECT_EQ(Read("two.txt"), "2");
    EXPECT_EQ(Prompts(), 4);
}

TEST_F(ClosingTest, OpenAndOpenFolderShowNoDialogUnlessThePromptLetsThemGoOn) {
    Write("other.txt", "other");
    CreateWithEditedFile("a.txt", "a", L'1');
    MainWindow& mw = Record();
    ChooseFile(PathOf("other.txt"));
    pickedFolder_ = Folder();

    answer_ = IDCANCEL;
    Command(IDM_FILE_OPEN);
    Command(IDM_FILE_OPEN_FOLDER);
    EXPECT_TRUE(openDialogs_.empty());
    EXPECT_TRUE(folderTitles_.empty());
    EXPECT_EQ(Prompts(), 2);

    MakeReadOnly("a.txt");
    answer_ = IDYES;
    Command(IDM_FILE_OPEN);
    Command(IDM_FILE_OPEN_FOLDER);
    EXPECT_TRUE(openDialogs_.empty());
    EXPECT_TRUE(folderTitles_.empty());
    EXPECT_TRUE(IsFileError(messages_.back(), L"Failed to save file.", L"read-only"));

    // No: the file opens beside the modified document, which keeps its "*".
    answer_ = IDNO;
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabText(0), L" *a.txt ");
    EXPECT_EQ(TextOf(0), u"1a");
    EXPECT_EQ(mw.documents[1].displayName, u"other.txt");

    // Yes with a save that works: saved first, then the folder's files open.
    Type(L'2');
    answer_ = IDYES;
    Command(IDM_FILE_OPEN_FOLDER);
    EXPECT_EQ(folderTitles_.size(), 1u);
    EXPECT_EQ(Read("other.txt"), "2other");
    EXPECT_EQ(mw.documents.size(), 4u); // a.txt and other.txt again
    EXPECT_EQ(Read("a.txt"), "a");
}

TEST_F(ClosingTest, CloseTabAsksAboutTheTabBeingClosed) {
    CreateWithEditedFile("a.txt", "a", L'1');
    MainWindow& mw = Record();
    answer_ = IDCANCEL;
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(TabText(0), L" *a.txt ");

    // Yes saves, then closes; the last tab is replaced by an empty one.
    answer_ = IDYES;
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(Read("a.txt"), "1a");
    ASSERT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(TabText(0), L" Untitled ");
    EXPECT_EQ(TextOf(0), u"");
    EXPECT_EQ(Title(), L"Untitled - Tessary");

    // No closes and discards.
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Type(L'2');
    answer_ = IDNO;
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(Read("a.txt"), "1a");
    EXPECT_EQ(TabText(0), L" Untitled ");

    // A failed save keeps the tab, active, with its changes.
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Command(IDM_FILE_NEW);
    MainWnd_ActivateTab(mw, window_, 0);
    Type(L'3');
    MakeReadOnly("a.txt");
    answer_ = IDYES;
    Command(IDM_FILE_CLOSE_TAB);
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(mw.activeIndex, 0);
    EXPECT_EQ(TextOf(0), u"31a");
    EXPECT_TRUE(IsFileError(messages_.back(), L"Failed to save file.", L"read-only"));
    EXPECT_EQ(Prompts(), 4);
}

TEST_F(ClosingTest, ABackgroundTabsGlyphAsksAboutThatTab) {
    CreateWithEditedFile("a.txt", "a", L'1');
    MainWindow& mw = Record();
    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    Type(L'u');
    Command(IDM_FILE_NEW);
    ASSERT_EQ(mw.activeIndex, 2);

    // Yes on the background file tab: made active, saved, closed.
    answer_ = IDYES;
    ClickAt(mw.tabControl, CloseGlyphCentre(mw.tabControl, 0));
    EXPECT_EQ(Read("a.txt"), "1a");
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabText(0), L" *Untitled ");
    EXPECT_EQ(mw.activeIndex, 0); // the tab that moved into its place

    // Yes on an untitled one whose Save As is cancelled keeps it, active.
    MainWnd_ActivateTab(mw, window_, 1);
    SendMessageW(mw.tabControl, TCM_SETCURSEL, 1, 0);
    ClickAt(mw.tabControl, CloseGlyphCentre(mw.tabControl, 0));
    EXPECT_EQ(saveDialogs_.size(), 1u);
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(mw.activeIndex, 0);
    EXPECT_EQ(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(TextOf(0), u"u");
    EXPECT_EQ(Prompts(), 4); // two for New, one per glyph click
}

TEST_F(ClosingTest, ClosingTheWindowAsksAboutEveryModifiedDocument) {
    Write("b.txt", "b");
    CreateWithEditedFile("a.txt", "a", L'1'); // tab 0, modified
    MainWindow& mw = Record();
    answer_ = IDNO;
    Command(IDM_FILE_NEW); // tab 1, clean
    Command(IDM_FILE_NEW); // tab 2, modified, untitled
    Type(L'u');
    Command(IDM_FILE_NEW); // tab 3, modified file
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("b.txt")));
    Type(L'2');
    MainWnd_ActivateTab(mw, window_, 1); // the clean one is in view
    messages_.clear();

    // Yes saves a.txt, No lets the untitled text go, Cancel on b.txt stops
    // the closing with b.txt in view.
    answers_ = {IDYES, IDNO, IDCANCEL};
    Close();
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_EQ(Prompts(), 3);
    EXPECT_EQ(Read("a.txt"), "1a");
    EXPECT_EQ(Read("b.txt"), "b");
    EXPECT_EQ(mw.activeIndex, 3);
    EXPECT_EQ(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(TabText(0), L" a.txt ");
    EXPECT_EQ(TabText(2), L" *Untitled ");
    EXPECT_EQ(TabText(3), L" *b.txt ");

    // The active document is asked about first; a failed save stops too.
    MakeReadOnly("b.txt");
    messages_.clear();
    answers_ = {IDYES};
    Close();
    ASSERT_TRUE(IsWindow(window_));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(IsFileError(messages_[1], L"Failed to save file.", L"read-only"));
    EXPECT_EQ(mw.activeIndex, 3);

    // An untitled document whose Save As is cancelled stops it as well.
    messages_.clear();
    answers_ = {IDNO, IDYES};
    Close();
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_EQ(Prompts(), 2);
    EXPECT_EQ(saveDialogs_.size(), 1u);
    EXPECT_EQ(mw.activeIndex, 2);

    // No to both remaining: the window goes.
    messages_.clear();
    answers_ = {IDNO, IDNO};
    Close();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(Prompts(), 2);
    EXPECT_EQ(Read("b.txt"), "b");
}

TEST_F(ClosingTest, AWindowWithNothingModifiedClosesWithoutAQuestion) {
    Write("a.txt", "a");
    Create();
    ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf("a.txt")));
    Command(IDM_FILE_NEW);
    Type(L'x');
    answer_ = IDYES;
    savePath_ = PathOf("x.txt");
    Command(IDM_FILE_SAVE);
    Command(IDM_EOL_LF); // a form change is no change of the text
    messages_.clear();
    Command(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ClosingTest, ClosingATabActivatesItsRightNeighbourOrTheNewLast) {
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
        Write(name, name);
    Create();
    ChooseFiles(Folder(), {u"1.txt", u"2.txt", u"3.txt"});
    Command(IDM_FILE_OPEN);
    MainWindow& mw = Record();
    ASSERT_EQ(mw.documents.size(), 3u);
    MainWnd_CloseTab(mw, window_, 1);
    EXPECT_EQ(mw.documents[mw.activeIndex].displayName, u"3.txt");
    EXPECT_EQ(Title(), L"3.txt - Tessary");
    MainWnd_CloseTab(mw, window_, 1);
    EXPECT_EQ(mw.documents[mw.activeIndex].displayName, u"1.txt");
    EXPECT_EQ(StatusText(2), L"Win");
    // An index outside the list closes the first tab.
    MainWnd_CloseTab(mw, window_, 9);
    ASSERT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(TabText(0), L" Untitled ");
    EXPECT_EQ(TabCount(), 1);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ClosingTest, EndingTheSessionAsksAboutModifiedDocuments) {
    CreateWithEditedFile("a.txt", "a", L'1');
    answer_ = IDCANCEL;
    EXPECT_EQ(SendMessageW(window_, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(Prompts(), 1);
    answer_ = IDYES;
    EXPECT_EQ(SendMessageW(window_, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(Read("a.txt"), "1a");
    // Nothing left to ask about; a critical end is never refused.
    EXPECT_EQ(SendMessageW(window_, WM_QUERYENDSESSION, 0, 0), TRUE);
    Type(L'2');
    EXPECT_EQ(SendMessageW(window_, WM_QUERYENDSESSION, 0, ENDSESSION_CRITICAL), TRUE);
    EXPECT_EQ(Prompts(), 2);
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(ClosingTest, ACloseRequestWhileAModalBoxIsOpenIsIgnored) {
    Create();
    // A real message box or dialog disables its owner while it is open.
    EnableWindow(window_, FALSE);
    Close();
    EXPECT_TRUE(IsWindow(window_));
    EnableWindow(window_, TRUE);
    Close();
    EXPECT_FALSE(IsWindow(window_));
}
