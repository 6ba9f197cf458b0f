// ReadTextFile and WriteTextFile on real files in a temporary folder.
#include "fileio/file_bytes.h"
#include "fileio/text_file.h"

#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

struct Loaded {
    bool ok = false;
    std::u16string text;
    TextEncoding encoding = TextEncoding::Ansi;
    LineEnding lineEnding = LineEnding::Mixed;
    FileFailure failure = FileFailure::Other;
};

Loaded Read(const std::u16string& path) {
    Loaded r;
    r.ok = ReadTextFile(path, r.text, r.encoding, r.lineEnding, nullptr, nullptr, &r.failure);
    return r;
}

// Lets half of each write through, as a disk that fills up would.
size_t HalfOfEachWrite(size_t requested) {
    return requested / 2;
}

class WriteFault {
  public:
    WriteFault() { g_writeLimitForTesting = HalfOfEachWrite; }
    ~WriteFault() { g_writeLimitForTesting = nullptr; }
};

} // namespace

TEST(FileioFile, ReadsWhatTheFileHolds) {
    TempFolder folder;
    TempFolder::WriteBytes(folder.Path("empty.txt"), "");
    TempFolder::WriteBytes(folder.Path("sig.txt"), "\xEF\xBB\xBFhi\nthere\n");
    TempFolder::WriteBytes(folder.Path("ansi.txt"), "caf\xE9\r");

    Loaded r = Read(folder.U16("empty.txt"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, u"");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8);
    EXPECT_EQ(r.lineEnding, LineEnding::Crlf);

    r = Read(folder.U16("sig.txt"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, u"hi\r\nthere\r\n");
    EXPECT_EQ(r.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(r.lineEnding, LineEnding::Lf);

    r = Read(folder.U16("ansi.txt"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, u"caf\xE9\r\n");
    EXPECT_EQ(r.encoding, TextEncoding::Ansi);
    EXPECT_EQ(r.lineEnding, LineEnding::Cr);
}

// Each failure says why, in words a message can show the user.
TEST(FileioFile, ReadAndWriteFailuresSayWhy) {
    TempFolder folder;
    fs::create_directory(folder.Path("sub"));
    TempFolder::WriteBytes(folder.Path("a"), "a");
    TempFolder::WriteBytes(folder.Path("locked.txt"), "old");
    fs::permissions(folder.Path("locked.txt"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::path big = folder.Path("big.txt");
    TempFolder::WriteBytes(big, "");
    fs::resize_file(big, 0x80000000ull); // sparse: nothing is written
    const struct {
        std::u16string path;
        FileFailure reading; // None: not tried
        FileFailure writing; // None: not tried
    } cases[] = {
        {folder.U16("missing.txt"), FileFailure::NotFound, FileFailure::None},
        {folder.U16("sub"), FileFailure::Folder, FileFailure::Folder},
        {folder.U16("nowhere/a.txt"), FileFailure::None, FileFailure::FolderNotFound},
        {folder.U16("locked.txt"), FileFailure::None, FileFailure::ReadOnly},
        {big.u16string(), FileFailure::TooLarge, FileFailure::None},
        // Refused by name, before the system is asked: neither file exists.
        {folder.U16("nul.txt"), FileFailure::Device, FileFailure::Device},
        {folder.U16("COM1"), FileFailure::Device, FileFailure::Device},
        {u"", FileFailure::BadName, FileFailure::BadName},
        // An embedded zero must not cut the path down to another file's name.
        {folder.U16("a") + std::u16string(1, u'\0') + u"b", FileFailure::BadName,
         FileFailure::BadName},
    };
    for (const auto& c : cases) {
        const std::string shown = testing::PrintToString(c.path);
        if (c.reading != FileFailure::None) {
            Loaded r = Read(c.path);
            EXPECT_FALSE(r.ok) << shown;
            EXPECT_EQ(r.failure, c.reading) << shown;
        }
        if (c.writing != FileFailure::None) {
            SaveSafety safety;
            EXPECT_FALSE(WriteTextFile(u"x", c.path, TextEncoding::Utf8, LineEnding::Crlf, &safety))
                << shown;
            EXPECT_EQ(safety.failure, c.writing) << shown;
        }
    }
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("locked.txt")), "old");
    EXPECT_FALSE(fs::exists(folder.Path("nul.txt")));
}

TEST(FileioFile, WriteCreatesAndReplacesLeavingNothingElse) {
    TempFolder folder;
    const std::u16string path = folder.U16("out.txt");
    EXPECT_TRUE(WriteTextFile(u"one\r\ntwo \x20AC\r\n", path, TextEncoding::Utf8, LineEnding::Lf));
    EXPECT_EQ(TempFolder::ReadBytes(path), "one\ntwo \xE2\x82\xAC\n");

    EXPECT_TRUE(WriteTextFile(u"x\r\ny", path, TextEncoding::Ansi, LineEnding::Crlf));
    EXPECT_EQ(TempFolder::ReadBytes(path), "x\r\ny");

    EXPECT_TRUE(WriteTextFile(u"", path, TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_EQ(TempFolder::ReadBytes(path), "");
    EXPECT_EQ(folder.Entries(), Names{"out.txt"});

    const Loaded r = Read(path);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, u"");
}

TEST(FileioFile, FailedWriteKeepsTheTargetAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const fs::path target = folder.Path("keep.txt");
    TempFolder::WriteBytes(target, "old bytes\r\n");
    fs::create_directory(folder.Path("sub"));

    {
        WriteFault fault;
        SaveSafety safety;
        EXPECT_FALSE(WriteTextFile(u"new text that is longer", target.u16string(),
                                   TextEncoding::Utf8, LineEnding::Crlf, &safety));
        EXPECT_EQ(safety.failure, FileFailure::DiskFull);
        EXPECT_FALSE(
            WriteTextFile(u"new", folder.U16("fresh.txt"), TextEncoding::Utf8, LineEnding::Crlf));
    }
    EXPECT_EQ(TempFolder::ReadBytes(target), "old bytes\r\n");
    EXPECT_FALSE(WriteTextFile(u"x", folder.U16("sub"), TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_FALSE(
        WriteTextFile(u"x", folder.U16("nowhere/a.txt"), TextEncoding::Utf8, LineEnding::Crlf));

    fs::permissions(target,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(WriteTextFile(u"x", target.u16string(), TextEncoding::Utf8, LineEnding::Crlf));
    EXPECT_EQ(TempFolder::ReadBytes(target), "old bytes\r\n");

    Names entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (Names{"keep.txt", "sub"}));
    EXPECT_TRUE(fs::is_empty(folder.Path("sub")));
}
