// Telling another program's change of a document's file from a touch that
// kept its bytes, and from a change the user already declined.
#include "docs/disk_watch.h"
#include "fileio/text_file.h"

#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

namespace {

class DiskWatchTest : public ::testing::Test {
  protected:
    void Load(const std::string& bytes) {
        TempFolder::WriteBytes(folder_.Path("a.txt"), bytes);
        document_.path = folder_.U16("a.txt");
        std::u16string text;
        TextEncoding encoding;
        LineEnding lineEnding;
        ASSERT_TRUE(
            ReadTextFile(document_.path, text, encoding, lineEnding, nullptr, &document_.disk));
    }
    // Another program writes: a last-write time a minute on, whatever the
    // clock's resolution.
    void Rewrite(const std::string& bytes) {
        const auto when = std::filesystem::last_write_time(folder_.Path("a.txt"));
        TempFolder::WriteBytes(folder_.Path("a.txt"), bytes);
        std::filesystem::last_write_time(folder_.Path("a.txt"),
                                         when + std::chrono::minutes(++shifts_));
    }
    DiskChange Find() { return FindDiskChange(document_, current_); }

    TempFolder folder_;
    Document document_;
    FileIdentity current_;
    int shifts_ = 0;
};

} // namespace

TEST_F(DiskWatchTest, ATouchThatKeptTheBytesIsTakenWithoutAQuestion) {
    Load("same");
    Rewrite("same");
    EXPECT_EQ(Find(), DiskChange::None);
    FileStamp now;
    ASSERT_TRUE(ReadFileStamp(document_.path, now));
    EXPECT_EQ(document_.disk.stamp, now);
    EXPECT_FALSE(SaveWouldReplaceChanges(document_, current_));
}

TEST_F(DiskWatchTest, ADeclinedChangeIsQuietUntilTheNextOneButASaveStillAsks) {
    Load("v1");
    Rewrite("v2");
    ASSERT_EQ(Find(), DiskChange::Changed);
    document_.declined = current_;
    EXPECT_EQ(Find(), DiskChange::None);
    EXPECT_TRUE(SaveWouldReplaceChanges(document_, current_));
    Rewrite("v3");
    EXPECT_EQ(Find(), DiskChange::Changed);
    Rewrite("v1"); // back to the loaded bytes: nothing left to ask
    EXPECT_EQ(Find(), DiskChange::None);
    EXPECT_FALSE(document_.declined.known);
}

TEST(FileIdentityTransfer, AStampThatMovedDuringTheTransferMatchesNoFile) {
    TempFolder folder;
    TempFolder::WriteBytes(folder.Path("a.txt"), "abc");
    FileStamp stamp;
    ASSERT_TRUE(ReadFileStamp(folder.U16("a.txt"), stamp));
    EXPECT_EQ(IdentityAfterTransfer(folder.U16("a.txt"), 3, 1, &stamp).stamp, stamp);
    FileStamp earlier = stamp;
    earlier.lastWrite -= 1;
    EXPECT_NE(IdentityAfterTransfer(folder.U16("a.txt"), 3, 1, &earlier).stamp, stamp);
    EXPECT_NE(IdentityAfterTransfer(folder.U16("a.txt"), 4, 1).stamp.lastWrite, stamp.lastWrite);
}
