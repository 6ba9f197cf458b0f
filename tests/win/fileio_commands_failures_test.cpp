// Opens and saves that fail tell why below the usual first line; names that
// Windows keeps for devices are refused before anything else happens.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "fileio/wide.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

#include <string>

using FailuresTest = FileCommandsTest;

TEST_F(FailuresTest, DeviceNamesAreRefusedAtOpenAndAtSaveAs) {
    Write("kept.txt", "kept");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("kept.txt")));
    // An ANSI document that would lose a character: no question comes first.
    TypeText(u"\x4E2D");
    Command(IDM_ENCODING_ANSI);
    saveFilter_ = 2; // the names as they stand
    for (const char* name : {"nul.txt", "NUL", "con", "COM1.log", "lpt1. "}) {
        messages_.clear();
        EXPECT_FALSE(OpenFileIntoActiveDocument(mw, window_, PathOf(name))) << name;
        savePath_ = PathOf(name);
        EXPECT_FALSE(MainWnd_SaveAs(mw, window_)) << name;
        ASSERT_EQ(messages_.size(), 2u) << name;
        EXPECT_TRUE(IsFileError(messages_[0], L"Failed to open file.", L"device"));
        EXPECT_TRUE(IsFileError(messages_[1], L"Failed to save file.", L"device"));
    }
    EXPECT_EQ(TextOf(0), u"\x4E2D"
                         u"kept");
    EXPECT_EQ(mw.documents[0].path, PathOf("kept.txt"));
    EXPECT_EQ(Title(), L"*kept.txt - Tessary");
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

// A folder, a file another program holds, a folder that is not there: each
// failure names its cause on the second line.
TEST_F(FailuresTest, AFailedOpenOrSaveSaysWhy) {
    std::filesystem::create_directory(folder_.Path("sub"));
    Write("held.txt", "held");
    Create();
    MainWindow& mw = Record();
    TypeText(u"text");
    FileHandle held(CreateFileW(Wide(PathOf("held.txt")), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    const struct {
        const char* name;
        bool open; // else Save As
        const wchar_t* words;
    } cases[] = {
        {"sub", true, L"folder, not"},
        {"sub", false, L"folder, not"},
        {"held.txt", true, L"Another program"},
        {"held.txt", false, L"Another program"},
        {"nowhere\\new.txt", false, L"folder does not exist"},
    };
    saveFilter_ = 2; // the names as they stand
    for (const auto& c : cases) {
        messages_.clear();
        if (c.open) {
            EXPECT_FALSE(OpenFileIntoActiveDocument(mw, window_, PathOf(c.name)));
        } else {
            savePath_ = PathOf(c.name);
            EXPECT_FALSE(MainWnd_SaveAs(mw, window_));
        }
        ASSERT_EQ(messages_.size(), 1u) << c.name;
        EXPECT_TRUE(IsFileError(
            messages_[0], c.open ? L"Failed to open file." : L"Failed to save file.", c.words))
            << c.name;
    }
    held.reset();
    EXPECT_EQ(Read("held.txt"), "held");
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
}
