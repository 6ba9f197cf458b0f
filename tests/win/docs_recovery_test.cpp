// Crash recovery: the journals a window writes while documents have unsaved
// edits, and the offer of them at the next start. A crash is the window's
// journals put back after its normal close deleted them.
#include "docs/closing.h"
#include "docs/disk_changes.h"
#include "docs/file_commands.h"
#include "docs/journal_writer.h"
#include "docs/recovery.h"
#include "docs/recovery_files.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "tests/win/fileio_commands_fixture.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

#include <filesystem>
#include <functional>
#include <map>

namespace {

class RecoveryTest : public FileCommandsTest {
  protected:
    std::filesystem::path Journals() const { return recovery_.Path("Recovery"); }
    // Once the writing thread has written and deleted what it was asked to.
    std::map<std::filesystem::path, std::string> Files(const std::filesystem::path& folder) const {
        JournalWriter_WaitAll();
        std::map<std::filesystem::path, std::string> files;
        std::error_code none;
        for (const auto& entry : std::filesystem::directory_iterator(folder, none)) {
            if (entry.is_regular_file())
                files[entry.path()] = TempFolder::ReadBytes(entry.path());
        }
        return files;
    }
    std::map<std::filesystem::path, std::string> JournalFiles() const { return Files(Journals()); }
    std::map<std::filesystem::path, std::string> KeptFiles() const {
        return Files(Journals() / "Kept");
    }
    // The timer's rounds until no copy of a text is under way.
    void WriteJournals() {
        do {
            SendMessageW(window_, WM_TIMER, IDT_JOURNAL_WRITE, 0);
            JournalWriter_WaitAll();
        } while (Record().journalWriteDue);
    }
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
    std::wstring W(const std::u16string& text) const { return {text.begin(), text.end()}; }
    bool Shown(const std::wstring& words, size_t message) const {
        return message < messages_.size() &&
               messages_[message].text.find(words) != std::wstring::npos;
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
    EXPECT_EQ(messages_[0].text,
              L"Tessary did not close normally. Recover the unsaved text of 2 documents?\n\n" +
                  W(PathOf("a.txt")) +
                  L"\nUntitled\n\nYes: recover. No: delete the unsaved text. Cancel: ask again "
                  L"at the next start.");
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    ASSERT_EQ(TabCount(), 2);
    EXPECT_EQ(TextOf(0), u"one\r\nzxy");
    EXPECT_EQ(Record().documents[0].path, PathOf("a.txt"));
    EXPECT_EQ(TextOf(1), u"new\r\n");
    EXPECT_TRUE(Record().documents[1].path.empty());
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    EXPECT_EQ(TabText(0), L" *a.txt ");
    // The recovered texts go on with the journals they came from.
    EXPECT_EQ(JournalFiles().size(), 2u);
    MainWnd_ActivateTab(Record(), window_, 0);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(JournalFiles().size(), 1u) << "a save drops its document's journal";
    TypeAtEnd(u"!");
    answer_ = IDYES;
    CrashAndRestart();
    ASSERT_EQ(TabCount(), 2);
    EXPECT_EQ(TextOf(0), u"one\r\nzxy!");
    EXPECT_EQ(TextOf(1), u"new\r\n") << "the Untitled text's journal went on";
}

// Only No deletes; closing the question any other way asks again next time.
TEST_F(RecoveryTest, OnlyNoDeletesTheJournals) {
    for (const int answer : {IDCANCEL, IDNO}) {
        Create();
        TypeText(u"kept");
        answer_ = answer;
        CrashAndRestart();
        EXPECT_EQ(messages_.size(), 1u);
        EXPECT_EQ(TextOf(0), u"");
        EXPECT_EQ(Title(), L"Untitled - Tessary");
        EXPECT_EQ(JournalFiles().size(), answer == IDNO ? 0u : 1u);
        Destroy();
        messages_.clear();
        answer_ = IDYES;
        Create();
        EXPECT_EQ(TextOf(0), answer == IDNO ? u"" : u"kept");
        EXPECT_EQ(messages_.size(), answer == IDNO ? 0u : 1u);
        Destroy();
    }
}

// A declined reload or a deleted file leaves the text the tab shows as its
// only copy: the journal becomes a copy of it, edited or not.
TEST_F(RecoveryTest, TheTextComesBackWhenItsFileChangedOrWentAway) {
    Write("a.txt", "one");
    Write("b.txt", "two");
    Create();
    Open("a.txt");
    TypeAtEnd(u"A");
    WriteJournals();
    Write("a.txt", "changed by another program");
    answers_ = {IDNO};
    MainWnd_CheckActiveOnDisk(Record(), window_);
    TypeAtEnd(u"B");
    MainWnd_NewTab(Record(), window_);
    Open("b.txt");
    std::filesystem::remove(folder_.Path("b.txt"));
    MainWnd_CheckActiveOnDisk(Record(), window_); // "deleted or moved", and nothing typed
    answer_ = IDYES;
    CrashAndRestart();

    ASSERT_EQ(TabCount(), 2);
    EXPECT_EQ(TextOf(0), u"oneAB");
    EXPECT_EQ(TextOf(1), u"two");
    EXPECT_TRUE(Record().documents[0].path.empty());
    EXPECT_EQ(Read("a.txt"), "changed by another program");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(Shown(W(PathOf("a.txt")) + L": opened as Untitled, because the file has changed "
                                           L"since.",
                      1));
    EXPECT_TRUE(Shown(W(PathOf("b.txt")) + L": opened as Untitled, because the file is gone", 1));
}

// Edits that apply to the file as it was wait for the file while it cannot
// be read, and are kept aside, with a word, once it has other bytes.
TEST_F(RecoveryTest, EditsToAFileThatIsAwayWaitOrAreKeptAside) {
    Write("a.txt", "one");
    Create();
    Open("a.txt");
    TypeAtEnd(u"A");
    answer_ = IDYES;
    CrashAndRestart(
        [this] { std::filesystem::rename(folder_.Path("a.txt"), folder_.Path("moved.txt")); });
    EXPECT_EQ(TextOf(0), u"");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(Shown(L"not recovered, because the file cannot be read now", 1));
    EXPECT_EQ(JournalFiles().size(), 1u);
    Destroy();

    std::filesystem::rename(folder_.Path("moved.txt"), folder_.Path("a.txt"));
    messages_.clear();
    Create();
    EXPECT_EQ(TextOf(0), u"oneA");
    EXPECT_EQ(Record().documents[0].path, PathOf("a.txt"));
    EXPECT_EQ(messages_.size(), 1u);

    // The bytes are read only after the answer: a change made while the
    // question is open counts.
    TypeAtEnd(u"B");
    CrashAndRestart();
    EXPECT_EQ(TextOf(0), u"oneAB");
    whilePrompting_ = [this] { Write("a.txt", "changed"); };
    CrashAndRestart();
    whilePrompting_ = nullptr;
    EXPECT_EQ(TextOf(0), u"");
    EXPECT_TRUE(Shown(L"not recovered, because the unsaved edits apply to the file as it was", 1));
    EXPECT_TRUE(JournalFiles().empty());
    EXPECT_EQ(KeptFiles().size(), 1u);
}

// The form chosen after the journal began, and the mark that the load
// replaced bytes, come back with the text, from records or from a copy.
TEST_F(RecoveryTest, TheRecoveredTabHasTheFormTheDocumentLastHad) {
    for (const bool copied : {false, true}) {
        Write("odd.txt", std::string("\xFF\xFEh\0i", 5));
        Create();
        Open("odd.txt");
        TypeAtEnd(u"x");
        WriteJournals();
        Command(IDM_ENCODING_ANSI);
        Command(IDM_EOL_LF);
        if (copied)
            std::filesystem::remove(folder_.Path("odd.txt"));
        MainWnd_CheckActiveOnDisk(Record(), window_);
        answer_ = IDYES;
        CrashAndRestart();
        const Document& document = Record().documents[0];
        EXPECT_EQ(TextOf(0), u"h\xFFFDx");
        EXPECT_EQ(document.encoding, TextEncoding::Ansi) << copied;
        EXPECT_EQ(document.lineEnding, LineEnding::Lf);
        EXPECT_EQ(StatusText(1), L"ANSI");
        EXPECT_EQ(StatusText(2), L"Unix");
        messages_.clear();
        answers_ = {IDNO};
        savePath_ = PathOf("saved.txt");
        EXPECT_FALSE(MainWnd_SaveAs(Record(), window_));
        EXPECT_TRUE(Shown(L"U+FFFD", 0)) << "the first save still asks about the bytes";
        Destroy();
    }
}

TEST_F(RecoveryTest, JournalTroubleIsToldInWordsOnce) {
    // A file where the folder should be: told at the first write, not again.
    std::filesystem::create_directories(Journals().parent_path());
    TempFolder::WriteBytes(Journals(), "in the way");
    Create();
    TypeText(u"a");
    WriteJournals();
    TypeText(u"b");
    WriteJournals();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(Shown(L"Tessary cannot write its recovery journals in:\n" + Journals().wstring() +
                          L"\n\nA file stands where the folder should be.",
                      0));
    Destroy();
    std::filesystem::remove(Journals());

    // A damaged journal and a torn one: moved aside, and the torn one's text
    // comes back as far as it goes.
    messages_.clear();
    Create();
    TypeText(u"whole text");
    WriteJournals();
    const auto written = JournalFiles();
    Destroy();
    const std::string bytes = written.begin()->second;
    TempFolder::WriteBytes(Journals() / "0000000000000001-1.tsj",
                           bytes.substr(0, bytes.size() - 3));
    TempFolder::WriteBytes(Journals() / "0000000000000002-1.tsj", "TSJRNL damaged");
    answer_ = IDYES;
    Create();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(Shown(L"1 recovery journal is damaged and cannot be read. It is kept in", 0));
    EXPECT_EQ(TextOf(0), u"whole tex");
    EXPECT_TRUE(Shown(L"some of the text could not be read and is missing", 1));
    EXPECT_EQ(KeptFiles().size(), 2u);
}

// What the system enforces on Windows. Wine keeps mode bits alone and
// gives such a file 0640 (the user's entry maps to owner and group alike).
TEST_F(RecoveryTest, JournalsAreMadeForTheUserAlone) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    const Owned<HANDLE, CloseHandle> tokenOwner(token);
    BYTE user[256];
    DWORD size = sizeof user;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, size, &size));
    for (const bool folder : {false, true}) {
        OwnerOnlySecurity security(folder);
        ASSERT_NE(security.get(), nullptr);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ASSERT_TRUE(GetSecurityDescriptorControl(security.get()->lpSecurityDescriptor, &control,
                                                 &revision));
        EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited from the folder above";
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(security.get()->lpSecurityDescriptor, &present, &dacl,
                                              &defaulted));
        ASSERT_TRUE(present && dacl);
        ASSERT_EQ(dacl->AceCount, 1);
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, 0, &ace));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(allowed->Header.AceFlags != 0, folder) << "a folder passes it on";
        EXPECT_TRUE(EqualSid(const_cast<DWORD*>(&allowed->SidStart),
                             reinterpret_cast<TOKEN_USER*>(user)->User.Sid));
    }
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
