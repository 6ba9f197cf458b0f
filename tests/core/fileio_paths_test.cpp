// The open dialog's selection buffer, folder joining and the ".txt" rule.
#include "fileio/file_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Paths = std::vector<std::u16string>;

namespace {

// A dialog's buffer: the given strings with their zeros, zero-filled to size.
std::u16string Buffer(std::u16string_view content, size_t size = 64) {
    std::u16string buffer(content);
    buffer.resize(size, u'\0');
    return buffer;
}

} // namespace

TEST(FileioPaths, OneChosenFileIsTheWholePath) {
    EXPECT_EQ(ParseOpenFileSelection(Buffer(u"C:\\docs\\a.txt")), Paths{u"C:\\docs\\a.txt"});
    // Nothing at all, or a buffer that is all zeros, is no file.
    EXPECT_EQ(ParseOpenFileSelection(Buffer(u"")), Paths{});
    EXPECT_EQ(ParseOpenFileSelection(u""), Paths{});
    // A path filling the buffer to its last unit is still read, and no further.
    EXPECT_EQ(ParseOpenFileSelection(u"C:\\x"), Paths{u"C:\\x"});
    EXPECT_EQ(ParseOpenFileSelection(std::u16string_view(u"C:\\x\0", 5)), Paths{u"C:\\x"});
}

TEST(FileioPaths, MultipleSelectionJoinsTheFolderWithEachNameInOrder) {
    using namespace std::string_literals;
    EXPECT_EQ(ParseOpenFileSelection(Buffer(u"C:\\docs\0b.txt\0a.md\0"s)),
              (Paths{u"C:\\docs\\b.txt", u"C:\\docs\\a.md"}));
    // A drive root already ends in a backslash and gets no second one.
    EXPECT_EQ(ParseOpenFileSelection(Buffer(u"D:\\\0one\0two\0"s)),
              (Paths{u"D:\\one", u"D:\\two"}));
    // Names that run into the end of a full buffer stop there.
    EXPECT_EQ(ParseOpenFileSelection(u"E:\\f\0x\0yz"s), (Paths{u"E:\\f\\x", u"E:\\f\\yz"}));
    // Anything after the empty string that ends the list is not read.
    EXPECT_EQ(ParseOpenFileSelection(Buffer(u"C:\\d\0a\0\0stale\0"s)), Paths{u"C:\\d\\a"});
}

TEST(FileioPaths, JoiningAddsOneBackslashOnly) {
    EXPECT_EQ(JoinFolderAndName(u"C:\\docs", u"*"), u"C:\\docs\\*");
    EXPECT_EQ(JoinFolderAndName(u"C:\\", u"a.txt"), u"C:\\a.txt");
    EXPECT_EQ(JoinFolderAndName(u"\\\\server\\share", u"b"), u"\\\\server\\share\\b");
    EXPECT_EQ(JoinFolderAndName(u"", u"b"), u"\\b");
}

TEST(FileioPaths, TextFilterAddsTxtOnlyToNamesWithoutExtension) {
    EXPECT_EQ(AddTxtExtension(u"C:\\notes", 1), u"C:\\notes.txt");
    EXPECT_EQ(AddTxtExtension(u"notes", 1), u"notes.txt");
    EXPECT_EQ(AddTxtExtension(u"C:\\notes.md", 1), u"C:\\notes.md");
    EXPECT_EQ(AddTxtExtension(u"C:\\notes.txt", 1), u"C:\\notes.txt");
    // A dot in a folder name is not the file's extension, with either separator.
    EXPECT_EQ(AddTxtExtension(u"C:\\old.docs\\notes", 1), u"C:\\old.docs\\notes.txt");
    EXPECT_EQ(AddTxtExtension(u"C:/old.docs/notes", 1), u"C:/old.docs/notes.txt");
    // A trailing dot, or a name that starts with one, counts as an extension.
    EXPECT_EQ(AddTxtExtension(u"C:\\notes.", 1), u"C:\\notes.");
    EXPECT_EQ(AddTxtExtension(u"C:\\.profile", 1), u"C:\\.profile");
    // Under any other filter the path stays as the dialog gave it.
    EXPECT_EQ(AddTxtExtension(u"C:\\notes", 2), u"C:\\notes");
    EXPECT_EQ(AddTxtExtension(u"C:\\notes", 0), u"C:\\notes");
}

TEST(FileioPaths, DeviceNamesAreFoundAsWindowsFindsThem) {
    for (const std::u16string path :
         {u"nul.txt", u"NUL", u"C:\\docs\\Con", u"C:/docs/aux.tar.gz", u"prn", u"com1", u"LPT9.log",
          u"com\u00B9", u"conin$", u"CONOUT$.txt", u"C:\\docs\\lpt1 ", u"nul...", u"nul .txt",
          u"nul:stream", u"C:nul"})
        EXPECT_TRUE(NamesDevice(path)) << testing::PrintToString(path);
    for (const std::u16string path : {u"null.txt", u"com0", u"com10", u"lpt", u"my nul.txt",
                                      u" nul", u"C:\\nul\\a.txt", u"\\\\?\\C:\\docs\\nul.txt", u""})
        EXPECT_FALSE(NamesDevice(path)) << testing::PrintToString(path);
}
