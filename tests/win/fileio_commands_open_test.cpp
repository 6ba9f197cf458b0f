// Open, Open Folder and the start-up file: which tab each file goes into,
// what a loaded document shows, and failures that must not lose anything.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"

#include <algorithm>

namespace {

bool Radio(HMENU menu, int id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::wstring W(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// Refuses every edit control after the first `allowed`, as window creation
// fails once a process has spent the system's window quota.
class EditControlQuota {
  public:
    explicit EditControlQuota(int allowed) {
        left_ = allowed;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~EditControlQuota() { UnhookWindowsHookEx(hook_); }
    bool Installed() const { return hook_ != nullptr; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            wchar_t name[64] = {};
            GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
            if (std::wstring(name) == L"CustomEditControl" && left_-- <= 0)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int left_ = 0;
    HHOOK hook_;
};

// Puts the current folder back however the test ends.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper() { GetCurrentDirectoryW(MAX_PATH, saved_); }
    ~CurrentFolderKeeper() { SetCurrentDirectoryW(saved_); }

  private:
    wchar_t saved_[MAX_PATH] = {};
};

} // namespace

using OpenTest = FileCommandsTest;

TEST_F(OpenTest, OpenDialogIsSetUpAndCancelChangesNothing) {
    Create();
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(openDialogs_.size(), 1u);
    const ShownFileDialog& shown = openDialogs_[0];
    EXPECT_EQ(shown.owner, window_);
    // The hook makes room for a selection longer than the first buffer.
    EXPECT_EQ(shown.flags, 0x81A24u);
    EXPECT_EQ(shown.flags,
              static_cast<DWORD>(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                                 OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_ENABLEHOOK));
    EXPECT_EQ(shown.maxFile, 65536u);
    EXPECT_TRUE(shown.emptyBuffer);
    using namespace std::string_literals;
    EXPECT_EQ(shown.filters, L"All Files (*.*)\0*.*\0Text Files (*.txt)\0*.txt\0"s);
    EXPECT_EQ(shown.filterIndex, 1u);
    EXPECT_EQ(shown.defaultExtension, L"");
    EXPECT_FALSE(shown.titled);
    EXPECT_EQ(Record().documents.size(), 1u);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(OpenTest, OneFileGoesIntoAFreshUntitledTab) {
    Write("a.txt", "h\xC3\xA9llo\nworld\n");
    Create();
    ChooseFile(PathOf("a.txt"));
    Command(IDM_FILE_OPEN);
    MainWindow& mw = Record();
    ASSERT_EQ(mw.documents.size(), 1u);
    const Document& d = mw.documents[0];
    EXPECT_EQ(TextOf(0), u"h\u00E9llo\r\nworld\r\n");
    EXPECT_EQ(d.path, PathOf("a.txt"));
    EXPECT_EQ(d.displayName, u"a.txt");
    EXPECT_EQ(d.encoding, TextEncoding::Utf8);
    EXPECT_EQ(d.lineEnding, LineEnding::Lf);
    EXPECT_EQ(d.lineEndingLabel, u"Unix");
    EXPECT_FALSE(d.modified);
    EXPECT_FALSE(EditCtl_IsModified(mw.activeEdit));
    EXPECT_EQ(TabText(0), L" a.txt ");
    EXPECT_EQ(Title(), L"a.txt - Tessary");
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_EQ(StatusText(2), L"Unix");
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_LF));
    // Nothing to undo: the load is not an edit.
    EditCtl_Undo(mw.activeEdit);
    EXPECT_EQ(TextOf(0), u"h\u00E9llo\r\nworld\r\n");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(OpenTest, SeveralFilesReuseOnlyAFreshTabForTheFirst) {
    Write("a.txt", "A");
    Write("b.txt", "B\r");
    Create();
    const std::u16string folder = Folder();
    ChooseFiles(folder, {u"a.txt", u"b.txt"});
    Command(IDM_FILE_OPEN);
    MainWindow& mw = Record();
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(mw.documents[0].displayName, u"a.txt");
    EXPECT_EQ(mw.documents[1].displayName, u"b.txt");
    EXPECT_EQ(mw.documents[1].path, folder + u"\\b.txt");
    EXPECT_EQ(mw.documents[1].lineEndingLabel, u"Mac");
    EXPECT_EQ(mw.activeIndex, 1); // the last file's tab
    EXPECT_EQ(TabText(1), L" b.txt ");
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_CR));

    // The active tab holds a file: every chosen file gets a tab of its own.
    ChooseFiles(folder, {u"a.txt", u"b.txt"});
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(mw.documents.size(), 4u);
    EXPECT_EQ(mw.documents[2].displayName, u"a.txt");
    EXPECT_EQ(TextOf(1), u"B\r\n");
}

TEST_F(OpenTest, ATabWithTypedTextIsNotReused) {
    Write("a.txt", "A");
    Create();
    MainWindow& mw = Record();
    EXPECT_TRUE(IsActiveTabReusable(mw));
    // Typed and deleted again: empty, but the control saw a change.
    Type(L'x');
    EditCtl_SelectAll(mw.activeEdit);
    EditCtl_Delete(mw.activeEdit);
    ASSERT_EQ(TextOf(0), u"");
    mw.documents[0].modified = false;
    EXPECT_FALSE(IsActiveTabReusable(mw));
    answer_ = IDNO;
    ChooseFile(PathOf("a.txt"));
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabText(0), L" *Untitled ");
    EXPECT_EQ(mw.documents[1].displayName, u"a.txt");
}

TEST_F(OpenTest, AFileThatFailsIsReportedAndTheOthersStillOpen) {
    Write("b.txt", "B");
    Write("c.txt", "C");
    Create();
    ChooseFiles(Folder(), {u"missing1.txt", u"b.txt", u"missing2.txt", u"c.txt"});
    Command(IDM_FILE_OPEN);
    MainWindow& mw = Record();
    ASSERT_EQ(messages_.size(), 2u);
    for (const ShownMessage& m : messages_) {
        EXPECT_TRUE(IsFileError(m, L"Failed to open file.", L"does not exist"));
    }
    // The first failed in the reused tab; the next file still got a new one,
    // and the tab made for the other failure stays Untitled.
    ASSERT_EQ(mw.documents.size(), 4u);
    EXPECT_EQ(TabText(0), L" Untitled ");
    EXPECT_EQ(TabText(1), L" b.txt ");
    EXPECT_EQ(TabText(2), L" Untitled ");
    EXPECT_TRUE(mw.documents[2].path.empty());
    EXPECT_EQ(TabText(3), L" c.txt ");
    EXPECT_EQ(mw.activeIndex, 3);
}

TEST_F(OpenTest, AFailedLoadKeepsTheDocumentAsItWas) {
    Write("a.txt", "\xE9t\xE9\n");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    EXPECT_EQ(mw.documents[0].encodingLabel, u"ANSI");
    EXPECT_FALSE(OpenFileIntoActiveDocument(mw, window_, PathOf("gone.txt")));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_FALSE(OpenFileIntoActiveDocument(mw, window_, u"")); // nothing to say
    EXPECT_EQ(messages_.size(), 1u);
    const Document& d = mw.documents[0];
    EXPECT_EQ(TextOf(0), u"\u00E9t\u00E9\r\n");
    EXPECT_EQ(d.path, PathOf("a.txt"));
    EXPECT_EQ(d.encoding, TextEncoding::Ansi);
    EXPECT_EQ(d.lineEndingLabel, u"Unix");
    EXPECT_EQ(TabText(0), L" a.txt ");
    EXPECT_EQ(StatusText(1), L"ANSI");
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
}

TEST_F(OpenTest, OpenFolderOpensItsFilesButNoSubfolder) {
    Write("one.txt", "1");
    Write("two.md", "2");
    Write(".hidden", "3");
    std::filesystem::create_directories(folder_.Path("sub"));
    Write("sub/inner.txt", "inner");
    Create();
    MainWindow& mw = Record();

    Command(IDM_FILE_OPEN_FOLDER); // cancelled
    ASSERT_EQ(folderTitles_.size(), 1u);
    EXPECT_EQ(folderTitles_[0], L"Select folder to open");
    EXPECT_EQ(mw.documents.size(), 1u);

    std::u16string folder = Folder() + u"\\";
    pickedFolder_ = folder; // ends in a backslash, as a drive root does
    Command(IDM_FILE_OPEN_FOLDER);
    ASSERT_EQ(mw.documents.size(), 3u);
    std::vector<std::u16string> names;
    for (const Document& d : mw.documents) {
        names.push_back(d.displayName);
        EXPECT_EQ(d.path, folder + d.displayName); // one separator only
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u".hidden", u"one.txt", u"two.md"}));
    EXPECT_EQ(mw.activeIndex, 2);
    EXPECT_TRUE(messages_.empty());

    // Without the trailing separator, and from a tab that is not reusable.
    folder.pop_back();
    pickedFolder_ = folder;
    Command(IDM_FILE_OPEN_FOLDER);
    ASSERT_EQ(mw.documents.size(), 6u);
    EXPECT_EQ(mw.documents[5].path, folder + u"\\" + mw.documents[5].displayName);

    // A folder that is not there opens nothing and says nothing.
    pickedFolder_ = folder + u"\\no such folder";
    Command(IDM_FILE_OPEN_FOLDER);
    EXPECT_EQ(mw.documents.size(), 6u);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(OpenTest, WhenNoMoreTabsCanBeMadeTheOpenedOnesStayAndTheUserIsTold) {
    for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
        Write(name, name);
    Create();
    MainWindow& mw = Record();
    pickedFolder_ = Folder();
    {
        EditControlQuota quota(2);
        ASSERT_TRUE(quota.Installed());
        Command(IDM_FILE_OPEN_FOLDER);
    }
    // The reused tab and two new ones; no tab without its control.
    ASSERT_EQ(mw.documents.size(), 3u);
    EXPECT_EQ(TabCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(IsWindow(mw.documents[i].editWindow));
        EXPECT_FALSE(mw.documents[i].path.empty());
        EXPECT_EQ(TextOf(i), mw.documents[i].displayName);
    }
    EXPECT_EQ(mw.activeIndex, 2);
    EXPECT_EQ(mw.activeEdit, mw.documents[2].editWindow);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_NE(messages_[0].text.find(L"Files opened: 3"), std::wstring::npos);

    // The same through Open, with a file that fails among those opened.
    messages_.clear();
    ChooseFiles(Folder(), {u"1.txt", u"missing.txt", u"2.txt"});
    {
        EditControlQuota quota(2);
        Command(IDM_FILE_OPEN);
    }
    ASSERT_EQ(mw.documents.size(), 5u);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(IsFileError(messages_[0], L"Failed to open file.", L"does not exist"));
    EXPECT_NE(messages_[1].text.find(L"Files opened: 1"), std::wstring::npos);
    // New asks nothing and adds nothing when it cannot make the tab.
    {
        EditControlQuota quota(0);
        Command(IDM_FILE_NEW);
    }
    EXPECT_EQ(mw.documents.size(), 5u);
    EXPECT_EQ(TabCount(), 5);
    EXPECT_EQ(mw.activeIndex, 4);
}

TEST_F(OpenTest, TheStartUpFileIsMadeAbsoluteBeforeItIsRead) {
    Write("start.txt", "from the start");
    const CurrentFolderKeeper keeper;
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.Path("").wstring().c_str()));
    startupPath = L"start.txt";
    Create();
    MainWindow& mw = Record();
    EXPECT_EQ(TextOf(0), u"from the start");
    EXPECT_EQ(mw.documents[0].path, PathOf("start.txt"));
    EXPECT_EQ(TabText(0), L" start.txt ");
    EXPECT_EQ(Title(), L"start.txt - Tessary");

    // A dialog may move the current folder; the save still goes to that file.
    std::filesystem::create_directories(folder_.Path("elsewhere"));
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.Path("elsewhere").wstring().c_str()));
    Type(L'!');
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("start.txt"), "!from the start");
    EXPECT_FALSE(Exists("elsewhere/start.txt"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(OpenTest, AStartUpFileThatCannotBeReadLeavesAnEmptyUntitledTab) {
    startupPath = W(PathOf("not there.txt"));
    Create();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsFileError(messages_[0], L"Failed to open file.", L"does not exist"));
    EXPECT_EQ(TextOf(0), u"");
    EXPECT_TRUE(Record().documents[0].path.empty());
    EXPECT_EQ(Title(), L"Untitled - Tessary");
}
