// A large file shows its start while a thread reads it whole: what the tab
// holds meanwhile, what is refused, the whole text at the end, and closing
// before the end. Texts of megabytes are compared as booleans: a failed
// equality would print their difference.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "editctl/editctl.h"
#include "fileio/file_bytes.h"
#include "fileio/text_file.h"
#include "winkit/command_ids.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

// Some megabytes of numbered lines, past the size that loads in the
// background, with a byte at the end that is not UTF-8: the start looks
// like UTF-8, the whole file is ANSI.
std::string LargeFileBytes() {
    std::string bytes;
    char line[64];
    for (int i = 0; bytes.size() < (12u << 20); ++i) {
        const int n = std::snprintf(line, sizeof line, "line %07d of a large file\r\n", i);
        bytes.append(line, static_cast<size_t>(n));
    }
    return bytes + "caf\xE9\r\n";
}

// The text a file of these bytes holds once loaded whole.
std::u16string Decoded(const std::string& bytes) {
    std::u16string text;
    TextEncoding encoding;
    LineEnding lineEnding;
    EXPECT_TRUE(DecodeText(bytes, text, encoding, lineEnding));
    return text;
}

// Reads of the file fail from 8 MB on while it lives.
struct FailingReads {
    FailingReads() {
        g_readFailsForTesting = [](uint64_t position) { return position >= (8u << 20); };
    }
    ~FailingReads() { g_readFailsForTesting = nullptr; }
};

} // namespace

class LoadingTest : public FileCommandsTest {
  protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        bytes_ = LargeFileBytes();
        Write("large.txt", bytes_);
        Create();
    }

    bool Loading(int index) { return Record().documents[index].loading != nullptr; }

    // Runs the window's messages until no tab is loading, for at most a minute.
    bool WaitForLoads() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            bool any = false;
            for (int i = 0; i < static_cast<int>(Record().documents.size()); ++i)
                any = any || Loading(i);
            if (!any)
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Sleep(5);
        }
    }

    std::string bytes_;
};

TEST_F(LoadingTest, StartIsShownReadOnlyThenTheWholeFileTakesItsPlace) {
    ChooseFile(PathOf("large.txt"));
    Command(IDM_FILE_OPEN);
    ASSERT_TRUE(Loading(0));
    const std::u16string whole = Decoded(bytes_);
    const std::u16string start = TextOf(0);
    EXPECT_GT(start.size(), 1000u);
    EXPECT_LT(start.size(), whole.size() / 2);
    EXPECT_TRUE(start == whole.substr(0, start.size()));
    EXPECT_EQ(Record().documents[0].encodingLabel, u"UTF-8");
    EXPECT_NE(StatusText(0).find(L"Loading"), std::wstring::npos);

    // Scrolling and selecting work; edits and saves wait for the whole text.
    EditCtl_SetSelection(Record().activeEdit, 100, 100);
    Type(L'x');
    Command(IDM_EDIT_PASTE);
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(TextOf(0) == start);
    EXPECT_FALSE(EditCtl_IsModified(Record().activeEdit));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find(L"still loading"), std::wstring::npos);

    ASSERT_TRUE(WaitForLoads());
    EXPECT_TRUE(TextOf(0) == whole);
    EXPECT_EQ(Record().documents[0].encodingLabel, u"ANSI");
    EXPECT_EQ(StatusText(0).find(L"Loading"), std::wstring::npos);
    int32_t anchor = 0;
    int32_t caret = 0;
    EditCtl_GetSelection(Record().activeEdit, &anchor, &caret);
    EXPECT_EQ(caret, 100);
    EXPECT_FALSE(EditCtl_IsModified(Record().activeEdit));
    EXPECT_EQ(Title(), L"large.txt - Tessary");
    Type(L'x');
    EXPECT_TRUE(EditCtl_IsModified(Record().activeEdit));
    EXPECT_TRUE(Read("large.txt") == bytes_);
}

TEST_F(LoadingTest, ClosingWhileLoadingStopsTheLoadAndWritesNothing) {
    ChooseFile(PathOf("large.txt"));
    Command(IDM_FILE_OPEN);
    ASSERT_TRUE(Loading(0));
    Command(IDM_FILE_CLOSE_TAB);
    ASSERT_TRUE(WaitForLoads());
    EXPECT_EQ(TextOf(0), u"");
    EXPECT_EQ(Title(), L"Untitled - Tessary");

    Command(IDM_FILE_NEW);
    Command(IDM_FILE_OPEN);
    ASSERT_TRUE(Loading(1));
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
    window_ = nullptr;
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(Read("large.txt") == bytes_);
}

// A read that fails past the start shown leaves nothing half loaded that a
// save could write over the file; once it can be read, the whole UTF-8 file
// loads, its lines measured while it is decoded.
TEST_F(LoadingTest, AReadFailingPartwayLeavesAnEmptyTabAndTheFileAsItWas) {
    std::string bytes;
    for (int i = 0; bytes.size() < (12u << 20); ++i)
        bytes += "line " + std::to_string(i) + " caf\xC3\xA9 \xE4\xB8\xAD\t\xF0\x9F\x98\x80\n";
    Write("utf8.txt", bytes);
    {
        const FailingReads failing;
        ChooseFile(PathOf("utf8.txt"));
        Command(IDM_FILE_OPEN);
        ASSERT_TRUE(Loading(0));
        EXPECT_GT(TextOf(0).size(), 1000u);
        ASSERT_TRUE(WaitForLoads());
    }
    EXPECT_TRUE(TextOf(0).empty());
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_FALSE(EditCtl_IsModified(Record().activeEdit));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text.rfind(L"Failed to open file.", 0), 0u) << messages_[0].text;

    Command(IDM_FILE_OPEN);
    ASSERT_TRUE(WaitForLoads());
    const std::u16string whole = Decoded(bytes);
    EXPECT_TRUE(TextOf(0) == whole);
    EditCtl_SetSelection(Record().activeEdit, static_cast<int32_t>(whole.size()),
                         static_cast<int32_t>(whole.size()));
    int line = 0;
    int column = 0;
    EditCtl_GetCaretLineCol(Record().activeEdit, &line, &column);
    EXPECT_EQ(line, std::count(bytes.begin(), bytes.end(), '\n') + 1);
    EXPECT_EQ(Record().documents[0].encodingLabel, u"UTF-8");
    EXPECT_TRUE(Read("utf8.txt") == bytes);
}

// Reading the file again keeps the text it held shown, read-only, until the
// new one is whole, and keeps it, edits and all, when the read fails.
TEST_F(LoadingTest, AReloadShowsTheTextHeldUntilTheNewIsWholeOrTheReadFails) {
    ChooseFile(PathOf("large.txt"));
    Command(IDM_FILE_OPEN);
    ASSERT_TRUE(WaitForLoads());
    EditCtl_SetSelection(Record().activeEdit, 30000, 30000);
    int line = 0;
    EditCtl_GetCaretLineCol(Record().activeEdit, &line, nullptr);
    Type(L'x');
    const std::u16string edited = TextOf(0);
    const std::string changed = "a new first line\r\n" + bytes_;
    Write("large.txt", changed);

    ASSERT_TRUE(ReloadActiveDocument(Record(), window_));
    ASSERT_TRUE(Loading(0));
    Type(L'y');
    EXPECT_TRUE(TextOf(0) == edited);
    EXPECT_NE(StatusText(0).find(L"Loading"), std::wstring::npos);
    ASSERT_TRUE(WaitForLoads());
    const std::u16string whole = Decoded(changed);
    EXPECT_TRUE(TextOf(0) == whole);
    int lineNow = 0;
    EditCtl_GetCaretLineCol(Record().activeEdit, &lineNow, nullptr);
    EXPECT_EQ(lineNow, line);
    EXPECT_EQ(Title(), L"large.txt - Tessary");
    EXPECT_TRUE(messages_.empty());

    Type(L'z');
    const std::u16string kept = TextOf(0);
    {
        const FailingReads failing;
        ASSERT_TRUE(ReloadActiveDocument(Record(), window_));
        ASSERT_TRUE(WaitForLoads());
    }
    EXPECT_TRUE(TextOf(0) == kept);
    EXPECT_EQ(Title(), L"*large.txt - Tessary");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text.rfind(L"Failed to open file.", 0), 0u) << messages_[0].text;
    Type(L'z');
    EXPECT_EQ(TextOf(0).size(), kept.size() + 1);
    EXPECT_TRUE(Read("large.txt") == changed);
}
