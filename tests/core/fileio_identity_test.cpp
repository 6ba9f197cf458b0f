#include "fileio/file_identity.h"
#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(ContentHash, SameBytesInAnyPiecesAndDifferentBytesApart) {
    std::mt19937 rng(7);
    std::string bytes(1000, '\0');
    for (char& b : bytes)
        b = static_cast<char>(rng());
    const uint64_t whole = HashBytes(bytes);
    for (int round = 0; round < 50; ++round) {
        ContentHash hash;
        for (size_t at = 0; at < bytes.size();) {
            const size_t take = std::min<size_t>(rng() % 70, bytes.size() - at);
            hash.add(std::string_view(bytes).substr(at, take));
            at += take;
        }
        EXPECT_EQ(hash.value(), whole);
    }
    std::string flipped = bytes;
    for (size_t at : {0u, 31u, 32u, 999u}) {
        flipped[at] = static_cast<char>(flipped[at] ^ 1);
        EXPECT_NE(HashBytes(flipped), whole) << at;
        flipped[at] = bytes[at];
    }
    EXPECT_NE(HashBytes(bytes + '\0'), whole);
    EXPECT_NE(HashBytes(""), HashBytes(std::string(1, '\0')));
}

TEST(FileIdentity, ReadsStampAndHashAndFailsOnMissingFilesAndFolders) {
    TempFolder folder;
    TempFolder::WriteBytes(folder.Path("a.txt"), "hello\r\n");
    FileIdentity identity;
    ASSERT_TRUE(ReadFileIdentity(folder.U16("a.txt"), identity));
    EXPECT_TRUE(identity.known);
    EXPECT_EQ(identity.stamp.size, 7u);
    EXPECT_EQ(identity.hash, HashBytes("hello\r\n"));
    FileStamp stamp;
    ASSERT_TRUE(ReadFileStamp(folder.U16("a.txt"), stamp));
    EXPECT_EQ(stamp, identity.stamp);

    FileIdentity missing;
    EXPECT_FALSE(ReadFileIdentity(folder.U16("gone.txt"), missing));
    EXPECT_FALSE(ReadFileStamp(folder.U16("gone.txt"), stamp));
    EXPECT_FALSE(ReadFileStamp(folder.U16(""), stamp));
}
