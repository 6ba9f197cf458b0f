// The file dialogs at their limits: selections longer than the open dialog's
// first buffer, a dialog that writes past what it was given, and paths the
// save dialog cannot return. Each ends with the files or with a message.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "docs/file_dialogs.h"
#include "winkit/command_ids.h"

namespace {

// 300 names of 238 characters: about 72,000 units with the folder, more
// than the open dialog's first 65,536.
std::vector<std::u16string> LongNames() {
    std::vector<std::u16string> names;
    for (int i = 0; i < 300; ++i) {
        const std::string number = std::to_string(1000 + i);
        std::u16string name(number.begin(), number.end());
        name.resize(234, u'x');
        names.push_back(name + u".txt");
    }
    return names;
}

bool Mentions(const ShownMessage& message, const wchar_t* words) {
    return message.text.find(words) != std::wstring::npos;
}

} // namespace

using FileDialogsTest = FileCommandsTest;

TEST_F(FileDialogsTest, ASelectionOfAnyLengthComesBackWhole) {
    Create();
    const std::vector<std::u16string> names = LongNames();
    ChooseFiles(u"C:\\many", names);
    const std::vector<std::u16string> paths = ShowOpenFileDialog(window_);
    ASSERT_EQ(paths.size(), names.size());
    EXPECT_EQ(paths.front(), u"C:\\many\\" + names.front());
    EXPECT_EQ(paths.back(), u"C:\\many\\" + names.back());
    EXPECT_TRUE(messages_.empty());

    // The next dialog starts small again and still takes a short selection.
    ChooseFiles(u"C:\\few", {u"a.txt", u"b.txt"});
    EXPECT_EQ(ShowOpenFileDialog(window_).size(), 2u);
}

TEST_F(FileDialogsTest, ASelectionThatDoesNotFitOpensNothingAndSaysWhy) {
    Create();
    // The file name box shows less than the dialog then returns: no room is
    // made, and the system refuses the selection.
    ChooseFiles(u"C:\\many", LongNames());
    openNames_.clear();
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(Record().documents.size(), 1u);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].caption, L"Error");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(Mentions(messages_[0], L"Select fewer files")) << messages_[0].text;

    // A dialog that writes past nMaxFile regardless lands in spare room; a
    // list that does not end within nMaxFile is refused, not read on.
    overrunOpen_ = true;
    const DWORD firstRoom = 65536;
    openBuffer_.assign(firstRoom + 4000, L'n');
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(Record().documents.size(), 1u);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(Mentions(messages_[1], L"Select fewer files"));
    EXPECT_EQ(Title(), L"Untitled - Tessary");
}

TEST_F(FileDialogsTest, ASavePathTooLongForTheDialogIsReported) {
    Write("kept.txt", "kept");
    Create();
    ASSERT_TRUE(OpenFileIntoActiveDocument(Record(), window_, PathOf("kept.txt")));
    Type(L'!');
    savePath_ = Folder() + u"\\" + std::u16string(300, u'y') + u".txt";
    EXPECT_FALSE(MainWnd_SaveAs(Record(), window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].caption, L"Error");
    EXPECT_TRUE(Mentions(messages_[0], L"too long")) << messages_[0].text;
    EXPECT_EQ(Title(), L"*kept.txt - Tessary");
    EXPECT_EQ(Read("kept.txt"), "kept");

    // Cancelling still says nothing.
    savePath_.clear();
    EXPECT_FALSE(MainWnd_SaveAs(Record(), window_));
    EXPECT_EQ(messages_.size(), 1u);
}

// A hook makes Windows show its old-style dialog, so only Wine, whose dialog
// overruns the buffer, gets one; Windows refuses a long selection itself.
TEST_F(FileDialogsTest, OnlyUnderWineDoesTheOpenDialogCarryAHook) {
    Create();
    EXPECT_TRUE(RunningUnderWine());
    ChooseFiles(u"C:\\few", {u"a.txt", u"b.txt"});
    EXPECT_EQ(ShowOpenFileDialog(window_).size(), 2u);
    ASSERT_EQ(openDialogs_.size(), 1u);
    EXPECT_NE(openDialogs_[0].flags & OFN_ENABLEHOOK, 0u);

    const DWORD current = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                          OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    EXPECT_EQ(ShowOpenFileDialog(window_, false).size(), 2u);
    ASSERT_EQ(openDialogs_.size(), 2u);
    EXPECT_EQ(openDialogs_[1].flags, current);
    EXPECT_EQ(openDialogs_[1].maxFile, 65536u);

    ChooseFiles(u"C:\\many", LongNames());
    EXPECT_TRUE(ShowOpenFileDialog(window_, false).empty());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(Mentions(messages_[0], L"Select fewer files")) << messages_[0].text;
}
