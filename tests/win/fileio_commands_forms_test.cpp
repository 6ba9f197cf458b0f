// Files in the forms that carry a signature (UTF-16 and UTF-32 in either
// byte order, UTF-8 with EF BB BF), opened and saved through the commands;
// the questions before a save that would lose characters or bytes.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "docs/tabs.h"
#include "winkit/command_ids.h"

#include <string>

namespace {

bool Radio(HMENU menu, int id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// "a" CR LF "b" CR LF, then U+4E2D and a lone surrogate, in both byte orders.
const std::string kLe("\xFF\xFE"
                      "a\0\r\0\n\0b\0\r\0\n\0\x2D\x4E\x00\xD8",
                      18);
const std::string kBe("\xFE\xFF\0a\0\r\0\n\0b\0\r\0\n\x4E\x2D\xD8\x00", 18);
// "a" LF, U+1F600 and a lone surrogate.
const std::string kLe32("\xFF\xFE\0\0a\0\0\0\n\0\0\0\0\xF6\x01\0\0\xDC\0\0", 20);
const std::string kBe32("\0\0\xFE\xFF\0\0\0a\0\0\0\n\0\x01\xF6\0\0\0\xDC\0", 20);
const std::string kSigned("\xEF\xBB\xBF"
                          "caf\xC3\xA9\r\n");

} // namespace

using FormsTest = FileCommandsTest;

TEST_F(FormsTest, SignedFilesShowTheirFormAndSaveBackByteForByte) {
    const struct {
        const char* name;
        const std::string& bytes;
        const wchar_t* label;
        bool utf8Checked; // else no Encoding item is
    } files[] = {{"le.txt", kLe, L"UTF-16 LE", false},
                 {"be.txt", kBe, L"UTF-16 BE", false},
                 {"le32.txt", kLe32, L"UTF-32 LE", false},
                 {"be32.txt", kBe32, L"UTF-32 BE", false},
                 {"bom.txt", kSigned, L"UTF-8 BOM", true}};
    std::vector<std::u16string> names;
    for (const auto& file : files) {
        Write(file.name, file.bytes);
        const std::string name = file.name;
        names.emplace_back(name.begin(), name.end());
    }
    Create();
    MainWindow& mw = Record();
    ChooseFiles(Folder(), names);
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(mw.documents.size(), std::size(files));
    for (int i = 0; i < static_cast<int>(std::size(files)); ++i) {
        MainWnd_ActivateTab(mw, window_, i);
        EXPECT_EQ(StatusText(1), files[i].label);
        EXPECT_EQ(Radio(mw.encodingMenu, IDM_ENCODING_UTF8), files[i].utf8Checked) << i;
        EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
        Command(IDM_FILE_SAVE);
        EXPECT_EQ(Read(files[i].name), files[i].bytes) << i;
        EXPECT_EQ(StatusText(1), files[i].label);
    }
    EXPECT_EQ(TextOf(2), u"a\r\n\xD83D\xDE00\xDC00");

    // The breaks follow the line-ending choice, in units of the file's order.
    MainWnd_ActivateTab(mw, window_, 0);
    Command(IDM_EOL_LF);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("le.txt"), std::string("\xFF\xFE"
                                          "a\0\n\0b\0\n\0\x2D\x4E\x00\xD8",
                                          14));
    EXPECT_TRUE(messages_.empty());
}

// The signature is kept until the user picks UTF-8 itself; a new document
// has none.
TEST_F(FormsTest, ChoosingUtf8DropsTheSignatureAndNewDocumentsHaveNone) {
    Write("bom.txt", kSigned);
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("bom.txt")));
    Command(IDM_ENCODING_UTF8);
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("bom.txt"), "caf\xC3\xA9\r\n");

    Command(IDM_FILE_NEW);
    EXPECT_EQ(StatusText(1), L"UTF-8");
    TypeText(u"new");
    savePath_ = PathOf("new.txt");
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("new.txt"), "new");
}

// UTF-8 and ANSI convert; what they cannot hold is asked about first: the
// lone surrogate as UTF-8, anything outside the code page as ANSI.
TEST_F(FormsTest, PickingUtf8OrAnsiConvertsAndAsksBeforeLosingCharacters) {
    Write("le.txt", kLe);
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("le.txt")));
    Command(IDM_ENCODING_UTF8);
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_EQ(StatusText(1), L"UTF-8");
    answers_ = {IDNO};
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsSaveAnywayQuestion(messages_[0], L"cannot be represented in UTF-8"));
    EXPECT_EQ(Read("le.txt"), kLe);
    answers_ = {IDYES};
    EXPECT_TRUE(MainWnd_Save(mw, window_));
    EXPECT_EQ(Read("le.txt"), "a\r\nb\r\n\xE4\xB8\xAD\xEF\xBF\xBD");

    Write("be32.txt", kBe32);
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("be32.txt")));
    TypeText(u"\u00E9");
    Command(IDM_ENCODING_ANSI);
    answers_ = {IDYES}; // U+1F600 and the surrogate are not in the code page
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(messages_.size(), 3u);
    EXPECT_TRUE(IsSaveAnywayQuestion(messages_[2], L"ANSI code page"));
    EXPECT_EQ(Read("be32.txt"), "\xE9"
                                "a\n???");
}

TEST_F(FormsTest, TheFirstSaveAfterALoadThatReplacedBytesAsks) {
    const std::string odd("\xFF\xFEh\0i", 5);
    Write("odd.txt", odd);
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("odd.txt")));
    EXPECT_EQ(TextOf(0), u"h\xFFFD");

    answers_ = {IDNO};
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsSaveAnywayQuestion(messages_[0], L"U+FFFD"));
    EXPECT_EQ(Read("odd.txt"), odd);

    // Save As is a first save too; once one went ahead, no more questions.
    answers_ = {IDYES};
    savePath_ = PathOf("copy.txt");
    EXPECT_TRUE(MainWnd_SaveAs(mw, window_));
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(Read("copy.txt"), std::string("\xFF\xFEh\0\xFD\xFF", 6));
    EXPECT_TRUE(MainWnd_Save(mw, window_));
    EXPECT_EQ(messages_.size(), 2u);
}
