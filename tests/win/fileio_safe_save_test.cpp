// Saving through the Win32 file system: attributes, relative paths, names
// outside ASCII, the system's ANSI code page, and what a save keeps while it
// writes over a file.
#include "fileio/file_bytes.h"
#include "fileio/file_bytes_temp.h"
#include "fileio/save_record.h"
#include "fileio/text_file.h"
#include "winkit/win_handles.h"

#include "tests/core/fileio_temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
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

namespace {

std::u16string RecordIn(const TempFolder& spare) {
    std::u16string record;
    for (const std::string& name : spare.Entries()) {
        uint32_t owner = 0;
        if (ParseSaveRecordFileName(std::u16string(name.begin(), name.end()), owner))
            record = spare.U16(name);
    }
    return record;
}

// Whether the file's access list lets everyone read it.
bool EveryoneMayRead(const std::u16string& path) {
    DWORD size = 0;
    GetFileSecurityW(Wide(path), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* acl = nullptr;
    if (size == 0 ||
        !GetFileSecurityW(Wide(path), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted))
        return true;
    if (!present || !acl)
        return true;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    bool may = false;
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* entry = nullptr;
        GetAce(acl, index, &entry);
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        may = may || (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                      (allowed->Mask & (FILE_READ_DATA | GENERIC_READ | GENERIC_ALL)) &&
                      EqualSid(&allowed->SidStart, everyone));
    }
    FreeSid(everyone);
    return may;
}

// Gives the file an access list for its owner alone (0600 under Wine).
void KeepToOwner(const std::u16string& path) {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    const FileHandle tokenOwner(token);
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = sizeof user;
    GetTokenInformation(token, TokenUser, user, size, &size);
    PSID owner = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    std::vector<BYTE> acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(owner));
    InitializeAcl(reinterpret_cast<ACL*>(acl.data()), static_cast<DWORD>(acl.size()), ACL_REVISION);
    AddAccessAllowedAce(reinterpret_cast<ACL*>(acl.data()), ACL_REVISION,
                        FILE_GENERIC_READ | FILE_GENERIC_WRITE, owner);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<ACL*>(acl.data()), FALSE);
    SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    ASSERT_TRUE(SetFileSecurityW(Wide(path), DACL_SECURITY_INFORMATION, &descriptor));
    ASSERT_FALSE(EveryoneMayRead(path));
}

std::u16string g_refusingFolder;
bool RefusesNewFiles(const std::u16string& folder) {
    return folder == g_refusingFolder;
}

} // namespace

// Written over in place (a file with two names is, everywhere), a file is
// never without a complete copy of its old bytes that a record names, and
// that copy is as private as the file.
TEST(FileioSafeSave, AnOverwriteInPlaceIsRecordedWithAPrivateCompleteBackup) {
    TempFolder folder;
    TempFolder spare;
    const std::u16string path = folder.U16("doc.txt");
    TempFolder::WriteBytes(folder.Path("doc.txt"), "old bytes");
    ASSERT_TRUE(CreateHardLinkW(Wide(folder.U16("alias.txt")), Wide(path), nullptr));
    KeepToOwner(path);

    SaveSafety safety;
    safety.spareFolder = spare.U16("");
    bool seen = false;
    auto produce = [&](const ByteSink& sink) {
        std::string bytes;
        std::u16string target;
        std::u16string backup;
        const std::u16string record = RecordIn(spare);
        EXPECT_FALSE(record.empty());
        EXPECT_TRUE(
            DecodeSaveRecord(TempFolder::ReadBytes(std::filesystem::path(record)), target, backup));
        EXPECT_EQ(std::filesystem::path(target), folder.Path("doc.txt"));
        EXPECT_EQ(TempFolder::ReadBytes(std::filesystem::path(backup)), "old bytes");
        EXPECT_FALSE(EveryoneMayRead(backup));
        seen = true;
        return sink("new bytes");
    };
    EXPECT_TRUE(WriteFileBytesSafely(path, produce, &safety));
    EXPECT_TRUE(seen);
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("alias.txt")), "new bytes");
    EXPECT_EQ(Sorted(folder.Entries()), (Names{"alias.txt", "doc.txt"}));
    EXPECT_EQ(spare.Entries(), Names{});
}

// Where a plain write would work, so does a save: in a folder that takes no
// new file (the backup goes to the spare folder), and over a file another
// program holds open for writing.
TEST(FileioSafeSave, ASaveWorksWhereAPlainWriteWould) {
    TempFolder folder;
    TempFolder spare;
    const std::u16string path = folder.U16("log.txt");
    for (const bool logWriter : {false, true}) {
        TempFolder::WriteBytes(folder.Path("log.txt"), "old");
        SaveSafety safety;
        safety.spareFolder = spare.U16("");
        g_refusingFolder = logWriter ? u"" : folder.U16("").substr(0, folder.U16("").size() - 1);
        g_folderRefusesNewFilesForTesting = RefusesNewFiles;
        const FileHandle writer(logWriter ? CreateFileW(Wide(path), GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                        OPEN_EXISTING, 0, nullptr)
                                          : INVALID_HANDLE_VALUE);
        std::vector<std::string> spareDuringWrite;
        auto produce = [&](const ByteSink& sink) {
            spareDuringWrite = spare.Entries();
            return sink("new");
        };
        EXPECT_TRUE(WriteFileBytesSafely(path, produce, &safety)) << logWriter;
        g_folderRefusesNewFilesForTesting = nullptr;
        EXPECT_EQ(TempFolder::ReadBytes(folder.Path("log.txt")), "new") << logWriter;
        EXPECT_EQ(folder.Entries(), Names{"log.txt"});
        EXPECT_EQ(spare.Entries(), Names{});
        EXPECT_EQ(spareDuringWrite.size(), logWriter ? 1u : 2u) << logWriter;
    }
}
