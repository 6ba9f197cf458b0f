// The names of a save's temporary files and backups, what the next start
// finds of saves that did not complete, and, on POSIX systems, what a save
// keeps of the file it writes.
#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"
#include "fileio/save_record.h"

#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(FileioSaveFiles, OnlyTemporaryFileNamesNameTheirOwner) {
    uint32_t owner = 0;
    EXPECT_TRUE(ParseSaveTempFileName(SaveTempFileName(4294967295u, 12), owner));
    EXPECT_EQ(owner, 4294967295u);
    EXPECT_TRUE(ParseSaveTempFileName(u"~tessary-0-0.tmp", owner));
    EXPECT_EQ(owner, 0u);
    for (const char16_t* other :
         {u"~tessary-12-3.tmp.old", u"~tessary--3.tmp", u"~tessary-12.tmp", u"~tessary-12-.tmp",
          u"~tessary-4294967296-1.tmp", u"x~tessary-1-1.tmp", u"~tessary-1-1.TMP",
          u"~tessary-1-1-1.tmp", u"~tessary-notes.tmp"})
        EXPECT_FALSE(ParseSaveTempFileName(other, owner)) << fs::path(other).string();
    EXPECT_FALSE(ParseSaveTempFileName(SaveBackupFileName(u"a.txt", 7, 1), owner));
}

TEST(FileioSaveFiles, BackupNamesTellWhoseBackupTheyAre) {
    EXPECT_EQ(SaveBackupFileName(u"notes.txt", 42, 3), u"notes.txt.~tessary-42-3.bak");
    // A name at the limit still gets a backup name within it, whole
    // characters only.
    const std::u16string longName = std::u16string(199, u'a') + u"\U0001F600" + u".txt";
    const std::u16string backup = SaveBackupFileName(longName, 4294967295u, 4294967295u);
    EXPECT_LE(backup.size(), 255u);
    EXPECT_EQ(backup, std::u16string(199, u'a') + u".~tessary-4294967295-4294967295.bak");
}

// Of the records ended processes left, only those of a file that may have
// been written halfway reach the user; the rest are cleared away.
TEST(FileioSaveFiles, OnlyAFileOverwrittenHalfwayIsReportedAndCanBeRestored) {
    TempFolder folder;
    TempFolder spare;
    struct Case {
        std::string name;
        const char* target;
        const char* backup; // null: none
        bool cut;           // the record's last byte is missing
    };
    const Case cases[] = {
        {"halfway", "new bytes and old", "old bytes and old", false},
        {"finished", "new bytes", nullptr, false},
        {"untouched", "old bytes", "old bytes", false},
        {"cut", "old bytes", "old bytes!", true},
    };
    uint32_t number = 0;
    for (const Case& c : cases) {
        TempFolder::WriteBytes(folder.Path(c.name), c.target);
        const std::string backup = c.name + ".~tessary-2000000000-1.bak";
        if (c.backup)
            TempFolder::WriteBytes(folder.Path(backup), c.backup);
        std::string record = EncodeSaveRecord(folder.U16(c.name), folder.U16(backup));
        record.resize(record.size() - c.cut);
        const std::u16string name = SaveRecordFileName(2000000000, ++number);
        TempFolder::WriteBytes(spare.Path(std::string(name.begin(), name.end())), record);
    }
    const std::vector<InterruptedSave> found = CollectInterruptedSaves(spare.U16(""));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(std::filesystem::path(found[0].target), folder.Path("halfway"));
    EXPECT_EQ(spare.Entries().size(), 1u);
    EXPECT_EQ(folder.Entries().size(), 6u); // "untouched" lost its backup

    ASSERT_TRUE(RestoreInterruptedSave(found[0], spare.U16("")));
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("halfway")), "old bytes and old");
    EXPECT_EQ(spare.Entries(), Names{});
    EXPECT_EQ(folder.Entries().size(), 5u);
}

#ifndef _WIN32
namespace {

std::string ModeOf(const fs::path& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? std::to_string(info.st_mode & 0777) : "none";
}

} // namespace

TEST(FileioSaveFiles, APosixSaveKeepsLinksHardLinksAndPermissions) {
    TempFolder folder;
    TempFolder::WriteBytes(folder.Path("real.txt"), "real");
    fs::create_symlink("real.txt", folder.Path("link.txt"));
    TempFolder::WriteBytes(folder.Path("one.txt"), "one");
    fs::create_hard_link(folder.Path("one.txt"), folder.Path("two.txt"));
    TempFolder::WriteBytes(folder.Path("run.sh"), "run");
    chmod(folder.Path("run.sh").c_str(), 0750);

    EXPECT_TRUE(WriteFileBytesSafely(folder.U16("link.txt"), "linked"));
    EXPECT_TRUE(WriteFileBytesSafely(folder.U16("one.txt"), "both"));
    EXPECT_TRUE(WriteFileBytesSafely(folder.U16("run.sh"), "ran"));
    EXPECT_TRUE(fs::is_symlink(folder.Path("link.txt")));
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("real.txt")), "linked");
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("two.txt")), "both");
    EXPECT_EQ(ModeOf(folder.Path("run.sh")), std::to_string(0750));
    EXPECT_EQ(folder.Entries().size(), 5u);
}

TEST(FileioSaveFiles, APosixSaveClearsAwayTemporaryFilesOfEndedProcesses) {
    TempFolder folder;
    const std::string ours = "~tessary-" + std::to_string(getpid()) + "-1.tmp";
    // Far above any process id the system hands out.
    TempFolder::WriteBytes(folder.Path("~tessary-2000000000-1.tmp"), "crashed");
    TempFolder::WriteBytes(folder.Path("a.~tessary-2000000000-2.bak"), "only copy");
    TempFolder::WriteBytes(folder.Path(ours), "running");
    EXPECT_TRUE(WriteFileBytesSafely(folder.U16("a"), "saved"));
    Names entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (Names{"a", "a.~tessary-2000000000-2.bak", ours}));
}
#endif
