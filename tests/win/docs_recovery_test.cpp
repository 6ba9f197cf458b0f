// Crash recovery: the journals a window writes while documents have unsaved
// edits, and the offer of them at the next start. A crash is the window's
// journals put back after its normal close deleted them.
#include "docs/closing.h"
#include "docs/recovery.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/file_commands.h"
#include "tests/win/fileio_commands_fixture.h"
#include "winkit/command_ids.h"

#include <filesystem>
#include <functional>
#include <map>

namespace {

class RecoveryTest : public FileCommandsTest {
  protected:
    std::filesystem::path Journals() const { return recovery_.Path("Recovery"); }
    std::map<std::filesystem::path, std::string> JournalFiles() const {
        std::map<std::filesystem::path, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(Journals()))
            files[entry.path()] = TempFolder::ReadBytes(entry.path());
        return files;
    }
    void WriteJournals() { SendMessageW(window_, WM_TIMER, IDT_JOURNAL_WRITE, 0); }
    void Open(const std::string& name) {
        ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf(name)));
    }
    void TypeAtEnd(std::u16string_view text) {
        EditCtl_SetSelection(Record().activeEdit, 1 << 30, 1 << 30);
        TypeText(text);
    }
    // Writes the journals, ends the window as a crash would and starts a new
    // one, after `whileDown`.
    void CrashAndRestart(const std::function<void()>& whileDown = [] {}) {
        WriteJournals();
        const auto kept = JournalFiles();
        ASSERT_FALSE(kept.empty());
        Destroy();
        EXPECT_TRUE(JournalFiles().empty()) << "a normal close drops the journals";
        for (const auto& [path, bytes] : kept)
            TempFolder::WriteBytes(path, bytes);
        whileDown();
        messages_.clear();
        Create();
    }
    std::wstring Question(const std::wstring& lines) const {
        return L"Tessary did not close normally. Recover the unsaved text of " + lines;
    }
};

TEST_F(RecoveryTest, AcceptedJournalsReopenTheTextModifiedWithItsFile) {
    Write("a.txt", "one\nz");
    Create();
    Open("a.txt");
    TypeAtEnd(u"xy");
    MainWnd_NewTab(Record(), window_);
    TypeText(u"new\r");
    answer_ = IDYES;
    CrashAndRestart();

    ASSERT_EQ(messages_.size(), 1u);
    const std::u16string a = PathOf("a.txt");
    const std::wstring path(a.begin(), a.end());
    EXPECT_EQ(messages_[0].text, Question(L"2 documents?\n\n" + path + L"\nUntitled"));
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    ASSERT_EQ(TabCount(), 2);
    EXPECT_EQ(TextOf(0), u"one\r\nzxy");
    EXPECT_EQ(Record().documents[0].path, PathOf("a.txt"));
    EXPECT_EQ(TextOf(1), u"new\r\n");
    EXPECT_TRUE(Record().documents[1].path.empty());
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    EXPECT_EQ(TabText(0), L" *a.txt ");
    // The recovered texts have journals of their own; the old ones are gone.
    EXPECT_EQ(JournalFiles().size(), 2u);
    MainWnd_ActivateTab(Record(), window_, 0);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(JournalFiles().size(), 1u) << "a save drops its document's journal";
}

TEST_F(RecoveryTest, AFileChangedSinceOpensUntitledOrCannotBeRecovered) {
    Write("a.txt", "one");
    Write("b.txt", "two");
    Create();
    Open("a.txt");
    TypeAtEnd(u"A");
    answer_ = IDYES;
    CrashAndRestart(); // a.txt's recovered text now has a journal of its own
    MainWnd_NewTab(Record(), window_);
    Open("b.txt");
    TypeAtEnd(u"B");
    CrashAndRestart([this] {
        Write("a.txt", "changed");
        Write("b.txt", "changed");
    });

    ASSERT_EQ(messages_.size(), 1u);
    const std::u16string a = PathOf("a.txt");
    const std::u16string b = PathOf("b.txt");
    EXPECT_EQ(messages_[0].text,
              Question(L"1 document?\n\n" + std::wstring(a.begin(), a.end()) +
                       L" (the file has changed since: opens as Untitled)\n\nThese cannot be "
                       L"recovered, because their files have changed since:\n" +
                       std::wstring(b.begin(), b.end())));
    ASSERT_EQ(TabCount(), 1);
    EXPECT_EQ(TextOf(0), u"oneA");
    EXPECT_TRUE(Record().documents[0].path.empty());
    EXPECT_EQ(Read("a.txt"), "changed");
}

TEST_F(RecoveryTest, AJournalThatOutgrowsItsTextStartsAgainFromACopy) {
    Create();
    TypeText(u"ab");
    WriteJournals();
    const HWND edit = Record().activeEdit;
    EditCtl_ReplaceRange(edit, 1, 1, std::u16string(600'000, u'-'));
    EditCtl_ReplaceRange(edit, 1, 600'001, u"-");
    answer_ = IDYES;
    CrashAndRestart([this] {
        ASSERT_EQ(JournalFiles().size(), 1u);
        EXPECT_LT(JournalFiles().begin()->second.size(), 1000u);
    });
    EXPECT_EQ(TextOf(0), u"a-b");
}

TEST_F(RecoveryTest, DeclinedJournalsAreDeleted) {
    Create();
    TypeText(u"lost");
    answer_ = IDNO;
    CrashAndRestart();
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(TextOf(0), u"");
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_TRUE(JournalFiles().empty());
}

TEST_F(RecoveryTest, ARunningWindowsJournalsAreNotOffered) {
    Create();
    TypeText(u"mine");
    WriteJournals();
    const HWND first = window_;
    Create();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(JournalFiles().size(), 1u);
    DestroyWindow(first);
}

TEST_F(RecoveryTest, UntouchedDocumentsHaveNoJournal) {
    Write("a.txt", "one");
    Create();
    Open("a.txt");
    TypeAtEnd(u"x");
    WriteJournals();
    EXPECT_EQ(JournalFiles().size(), 1u);
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(JournalFiles().empty());
    Command(IDM_FILE_NEW);
    TypeText(u"y");
    WriteJournals();
    answer_ = IDNO;
    MainWnd_CloseTab(Record(), window_, 1);
    EXPECT_TRUE(JournalFiles().empty()) << "a closed tab's journal goes with it";
}

} // namespace
