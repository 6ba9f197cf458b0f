// Files that other programs change, remove or write under the document: the
// questions asked, each once per change, and what each answer does.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/closing.h"
#include "docs/file_commands.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

namespace {

const std::wstring kReplace = L"\u201Ca.txt\u201D was changed by another program since you "
                              L"opened it. Replace it with this text?";
const std::wstring kReload = L"\u201Ca.txt\u201D was changed by another program. Reload it?";
const std::wstring kReloadEdited =
    L"\u201Ca.txt\u201D was changed by another program. Reload it and lose your changes?";

class DiskChangesTest : public FileCommandsTest {
  protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        Create();
    }

    void Open(const std::string& bytes) {
        Write("a.txt", bytes);
        ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf("a.txt")));
    }

    // The window comes back from another program, and its queued check runs.
    void Activate() {
        SendMessageW(window_, WM_ACTIVATE, WA_ACTIVE, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }

    int CaretLine() {
        int line = 0;
        EditCtl_GetCaretLineCol(Record().activeEdit, &line, nullptr);
        return line;
    }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const ShownMessage& message : messages_)
            texts.push_back(message.text);
        return texts;
    }
};

} // namespace

TEST_F(DiskChangesTest, ASaveOverAnotherProgramsWriteAsksAndNoWritesNothing) {
    Open("one");
    Write("a.txt", "another program's");
    TypeText(u"mine ");
    answer_ = IDNO;
    Command(IDM_FILE_SAVE);
    Activate(); // as the box closes: its answer covers this change
    ASSERT_EQ(Texts(), std::vector<std::wstring>{kReplace});
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(Read("a.txt"), "another program's");
    EXPECT_EQ(Title(), L"*a.txt - Tessary");

    answer_ = IDYES;
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("a.txt"), "mine one");
    EXPECT_EQ(Title(), L"a.txt - Tessary");
    TypeText(u"again ");
    Command(IDM_FILE_SAVE); // its own write is no other program's
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(Read("a.txt"), "mine again one");
}

TEST_F(DiskChangesTest, TwoTabsOfOneFileAreAnotherProgramToEachOther) {
    Open("start");
    ASSERT_TRUE(MainWnd_NewTab(Record(), window_));
    ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf("a.txt")));
    TypeText(u"FIRST");
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(messages_.empty());

    answers_ = {IDNO, IDNO};
    Command(IDM_NEXT_TAB);
    TypeText(u"SECOND");
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kReload, kReplace}));
    EXPECT_EQ(Read("a.txt"), "FIRSTstart");
    EXPECT_EQ(TabText(0), L" *a.txt ");
}

TEST_F(DiskChangesTest, ADeletedFileIsToldOnceAndSaveWritesItAgain) {
    Open("kept text");
    std::filesystem::remove(folder_.Path("a.txt"));
    Activate();
    Activate();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, L"\u201Ca.txt\u201D was deleted or moved by another program. Its "
                                 L"text stays open, and Save writes it again.");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(Title(), L"*a.txt - Tessary");

    Command(IDM_FILE_SAVE);
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(Read("a.txt"), "kept text");
    EXPECT_EQ(Title(), L"a.txt - Tessary");
}

TEST_F(DiskChangesTest, AFileThatChangesTwiceIsAskedAboutOncePerChange) {
    Open("v1");
    Write("a.txt", "v2 longer");
    answer_ = IDNO;
    Activate();
    Activate();
    EXPECT_EQ(Texts(), std::vector<std::wstring>{kReload});
    EXPECT_EQ(TextOf(0), u"v1");

    Write("a.txt", "v3 longer still\n");
    answer_ = IDYES;
    Activate();
    Activate();
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kReload, kReload}));
    EXPECT_EQ(TextOf(0), u"v3 longer still\r\n");
    EXPECT_EQ(Title(), L"a.txt - Tessary");
    EXPECT_EQ(StatusText(2), L"Unix");
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(DiskChangesTest, AReloadKeepsTheCaretsLineAsFarAsTheNewTextReaches) {
    Open("1\n2\n3\n4\n5\n");
    EditCtl_SetSelection(Record().activeEdit, 6, 6);
    ASSERT_EQ(CaretLine(), 3);
    Write("a.txt", "one\ntwo\nthree\nfour\nfive\nsix\n");
    answer_ = IDYES;
    Activate();
    EXPECT_EQ(CaretLine(), 3);

    Write("a.txt", "only");
    Activate();
    EXPECT_EQ(TextOf(0), u"only");
    EXPECT_EQ(CaretLine(), 1);
}

TEST_F(DiskChangesTest, AGrowingLogIsAskedAboutAgainOnlyAfterEachAnswer) {
    Open("line 1\n");
    TypeText(u"note ");
    Write("a.txt", "line 1\nline 2\n");
    int nested = 0;
    whilePrompting_ = [&] {
        if (nested++ > 0)
            return;
        Write("a.txt", "line 1\nline 2\nline 3\n");
        Activate();
    };
    answer_ = IDNO;
    Activate();
    ASSERT_EQ(Texts(), std::vector<std::wstring>{kReloadEdited});
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(TextOf(0), u"note line 1\r\n");

    whilePrompting_ = nullptr;
    Activate();
    Activate();
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(TextOf(0), u"note line 1\r\n");
}

// A program that empties the file and keeps it open to itself (about to
// write it anew) leaves bytes that cannot be read, but an empty file's are
// known without reading.
TEST_F(DiskChangesTest, AFileEmptiedByAProgramThatHoldsItIsNoticed) {
    Open("some text");
    const FileHandle holder(CreateFileW(reinterpret_cast<const wchar_t*>(PathOf("a.txt").c_str()),
                                        GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    answer_ = IDNO;
    Activate();
    Activate();
    EXPECT_EQ(Texts(), std::vector<std::wstring>{kReload});
    EXPECT_EQ(TextOf(0), u"some text");
}

// Yes answers for the bytes the question was about, not for a later change.
TEST_F(DiskChangesTest, AChangeWhileTheReplaceQuestionIsOpenIsAskedAboutAgain) {
    Open("one");
    Write("a.txt", "two");
    TypeText(u"mine ");
    int prompts = 0;
    whilePrompting_ = [&] {
        if (prompts++ == 0)
            Write("a.txt", "three, longer");
    };
    answers_ = {IDYES, IDNO};
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kReplace, kReplace}));
    EXPECT_EQ(Read("a.txt"), "three, longer");

    answers_ = {IDYES};
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("a.txt"), "mine one");
}

// A tab that closing shows, the next one or one to be asked about, has its
// file checked as on any switch to it.
TEST_F(DiskChangesTest, ATabThatClosingShowsIsChecked) {
    const std::wstring kSave = L"Do you want to save changes?";
    Open("one");
    ASSERT_TRUE(MainWnd_NewTab(Record(), window_));
    TypeText(u"draft");
    Write("a.txt", "two");
    answers_ = {IDNO, IDNO};
    Command(IDM_FILE_CLOSE_TAB);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kSave, kReload}));

    TypeText(u"mine ");
    ASSERT_TRUE(MainWnd_NewTab(Record(), window_));
    TypeText(u"draft");
    Write("a.txt", "three, longer");
    messages_.clear();
    answers_ = {IDNO, IDNO, IDCANCEL};
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kSave, kReloadEdited, kSave}));
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_EQ(Title(), L"*a.txt - Tessary");

    Write("a.txt", "four, longer still");
    MainWnd_ActivateTab(Record(), window_, 1);
    messages_.clear();
    answers_ = {IDNO, IDCANCEL};
    MainWnd_CloseTab(Record(), window_, 0);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{kReloadEdited, kSave}));
}
