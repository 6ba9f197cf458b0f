// UTF-16 files in either byte order, opened and saved through the commands,
// and the question before saving a file whose load had to replace bytes.
#include "tests/win/fileio_commands_fixture.h"

#include "fileio/file_commands.h"
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

} // namespace

using Utf16Test = FileCommandsTest;

TEST_F(Utf16Test, Utf16FilesShowTheirOrderAndSaveBackByteForByte) {
    Write("le.txt", kLe);
    Write("be.txt", kBe);
    Create();
    MainWindow& mw = Record();
    ChooseFiles(Folder(), {u"le.txt", u"be.txt"});
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TextOf(1), u"a\r\nb\r\n\x4E2D\xD800");
    EXPECT_EQ(StatusText(1), L"UTF-16 BE");
    EXPECT_EQ(StatusText(2), L"Win");
    EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("be.txt"), kBe);
    EXPECT_EQ(StatusText(1), L"UTF-16 BE");

    Command(IDM_NEXT_TAB);
    EXPECT_EQ(TextOf(0), u"a\r\nb\r\n\x4E2D\xD800");
    EXPECT_EQ(StatusText(1), L"UTF-16 LE");
    // The breaks follow the line-ending choice, in units of the file's order.
    Command(IDM_EOL_LF);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("le.txt"), std::string("\xFF\xFE"
                                          "a\0\n\0b\0\n\0\x2D\x4E\x00\xD8",
                                          14));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Utf16Test, PickingUtf8OrAnsiWritesThatFormWithoutSignature) {
    Write("le.txt", kLe);
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("le.txt")));
    Command(IDM_ENCODING_UTF8);
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_EQ(StatusText(1), L"UTF-8");
    Command(IDM_FILE_SAVE);
    // The lone surrogate has no UTF-8 form.
    EXPECT_EQ(Read("le.txt"), "a\r\nb\r\n\xE4\xB8\xAD\xEF\xBF\xBD");

    Write("le.txt", kLe);
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("le.txt")));
    TypeText(u"\u00E9");
    Command(IDM_ENCODING_ANSI);
    answers_ = {IDYES}; // U+4E2D and the surrogate are not in the code page
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(Read("le.txt"), "\xE9"
                              "a\r\nb\r\n??");
}

TEST_F(Utf16Test, TheFirstSaveAfterALoadThatReplacedBytesAsks) {
    const std::string odd("\xFF\xFEh\0i", 5);
    Write("odd.txt", odd);
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("odd.txt")));
    EXPECT_EQ(TextOf(0), u"h\xFFFD");

    answers_ = {IDNO};
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].caption, L"Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
    EXPECT_NE(messages_[0].text.find(L"U+FFFD"), std::wstring::npos);
    EXPECT_NE(messages_[0].text.find(L"save anyway"), std::wstring::npos);
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
