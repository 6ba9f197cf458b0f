// Saving through the Win32 file system: attributes, relative paths, names
// outside ASCII and the system's ANSI code page.
#include "fileio/file_bytes.h"
#include "fileio/text_file.h"

#include "tests/core/fileio_temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Names = std::vector<std::string>;

namespace {

const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

DWORD Attributes(const std::u16string& path) {
    return GetFileAttributesW(Wide(path));
}

size_t NothingGetsWritten(size_t) {
    return 0;
}

} // namespace

TEST(FileioSafeSave, ReadOnlyTargetIsRefusedAndUnchanged) {
    TempFolder folder;
    const std::u16string path = folder.U16("locked.txt");
    TempFolder::WriteBytes(folder.Path("locked.txt"), "keep me");
    ASSERT_TRUE(SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_READONLY));

    EXPECT_FALSE(WriteTextFile(u"changed", path, TextEncoding::Utf8, LineEnding::Crlf));
    SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("locked.txt")), "keep me");
    EXPECT_EQ(folder.Entries(), Names{"locked.txt"});
}

TEST(FileioSafeSave, ReplacingKeepsTheTargetsAttributes) {
    TempFolder folder;
    const std::u16string path = folder.U16("shown.txt");
    TempFolder::WriteBytes(folder.Path("shown.txt"), "old");
    ASSERT_TRUE(SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    const DWORD before = Attributes(path);

    EXPECT_TRUE(WriteTextFile(u"new", path, TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("shown.txt")), "new");
    EXPECT_EQ(Attributes(path) & FILE_ATTRIBUTE_HIDDEN, before & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(folder.Entries(), Names{"shown.txt"});
}

TEST(FileioSafeSave, RelativePathsAndForeignNamesWork) {
    TempFolder folder;
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(Wide(folder.U16(""))));

    const std::u16string name = u"\x00E9t\x00E9 \x4E2D.txt";
    EXPECT_TRUE(WriteTextFile(u"first", name, TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_TRUE(WriteTextFile(u"second\r\n", name, TextEncoding::Utf8, LineEnding::Lf));
    EXPECT_TRUE(
        WriteTextFile(u"third", u".\\sub-less/../" + name, TextEncoding::Utf8, LineEnding::Crlf));
    std::u16string text;
    TextEncoding encoding;
    LineEnding lineEnding;
    EXPECT_TRUE(ReadTextFile(name, text, encoding, lineEnding));
    EXPECT_EQ(text, u"third");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST(FileioSafeSave, WriteFailureKeepsOldBytesAndRemovesTheTemporaryFile) {
    TempFolder folder;
    const std::u16string path = folder.U16("doc.txt");
    TempFolder::WriteBytes(folder.Path("doc.txt"), "old\r\nbytes");
    g_writeLimitForTesting = NothingGetsWritten;
    EXPECT_FALSE(WriteTextFile(u"new", path, TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_FALSE(
        WriteTextFile(u"new", folder.U16("new.txt"), TextEncoding::Utf8, LineEnding::Crlf));
    g_writeLimitForTesting = nullptr;
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("doc.txt")), "old\r\nbytes");
    EXPECT_EQ(folder.Entries(), Names{"doc.txt"});
}

TEST(FileioSafeSave, AnsiSaveOfACharacterOutsideThePageIsReportedFirst) {
    const std::u16string text = u"caf\x00E9 \x263A";
    EXPECT_TRUE(EncodingLosesCharacters(text, TextEncoding::Ansi));
    EXPECT_FALSE(EncodingLosesCharacters(text, TextEncoding::Utf8));
    EXPECT_FALSE(EncodingLosesCharacters(u"caf\x00E9", TextEncoding::Ansi));

    TempFolder folder;
    EXPECT_TRUE(WriteTextFile(text, folder.U16("a.txt"), TextEncoding::Ansi, LineEnding::Crlf));
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("a.txt")), "caf\xE9 ?");
}
