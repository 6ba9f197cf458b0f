// A save keeps a file with several names one file, restores the old bytes
// when writing in place fails, and clears away the temporary files of ended
// processes.
#include "fileio/file_bytes.h"
#include "fileio/text_file.h"

#include "tests/core/fileio_temp_folder.h"
#include "winkit/win_handles.h"

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

bool Save(const std::u16string& path, const std::u16string& text,
          std::u16string* keptBackup = nullptr) {
    SaveSafety safety;
    const bool saved = WriteTextFile(text, path, TextEncoding::Utf8, LineEnding::Lf, &safety);
    if (keptBackup)
        *keptBackup = safety.keptBackup;
    return saved;
}

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

int g_writes = 0;

// The first write (the backup copy of a small file) goes through whole.
size_t OnlyTheSecondWriteFails(size_t requested) {
    return ++g_writes == 2 ? 0 : requested;
}
size_t FirstWholeThenHalves(size_t requested) {
    return ++g_writes == 1 ? requested : requested / 2;
}

class WriteFault {
  public:
    explicit WriteFault(size_t (*limit)(size_t)) {
        g_writes = 0;
        g_writeLimitForTesting = limit;
    }
    ~WriteFault() { g_writeLimitForTesting = nullptr; }
};

// A process that runs (or has run) a program other than this one.
PROCESS_INFORMATION StartOtherProgram() {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring line = std::wstring(system) + L"\\cmd.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                   nullptr, &startup, &process);
    return process;
}

void EndProcess(PROCESS_INFORMATION& process) {
    const FileHandle thread(process.hThread);
    const FileHandle handle(process.hProcess);
    TerminateProcess(handle.get(), 0);
    WaitForSingleObject(handle.get(), 10000);
}

std::string TempName(DWORD processId) {
    return "~tessary-" + std::to_string(processId) + "-1.tmp";
}

} // namespace

TEST(FileioSaveIdentity, AFailedWriteInPlacePutsTheOldBytesBackOrNamesTheBackup) {
    TempFolder folder;
    const std::u16string path = folder.U16("doc.txt");
    TempFolder::WriteBytes(folder.Path("doc.txt"), "old bytes");
    ASSERT_TRUE(CreateHardLinkW(Wide(folder.U16("alias.txt")), Wide(path), nullptr));
    std::u16string backup = u"stale";
    {
        WriteFault fault(OnlyTheSecondWriteFails);
        EXPECT_FALSE(Save(path, u"new bytes that are longer", &backup));
    }
    EXPECT_EQ(backup, u"");
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("alias.txt")), "old bytes");
    EXPECT_EQ(Sorted(folder.Entries()), (Names{"alias.txt", "doc.txt"}));

    {
        WriteFault fault(FirstWholeThenHalves);
        EXPECT_FALSE(Save(path, u"new bytes that are longer", &backup));
    }
    ASSERT_NE(backup, u"");
    EXPECT_NE(TempFolder::ReadBytes(folder.Path("doc.txt")), "old bytes");
    EXPECT_EQ(TempFolder::ReadBytes(std::filesystem::path(backup)), "old bytes");
    EXPECT_EQ(folder.Entries().size(), 3u);
    const std::string name = std::filesystem::path(backup).filename().string();
    EXPECT_EQ(name.rfind("doc.txt.~tessary-", 0), 0u) << name;

    // The next save writes in full, and both names see it; a backup left
    // behind is never cleared away.
    EXPECT_TRUE(Save(path, u"new"));
    EXPECT_EQ(TempFolder::ReadBytes(folder.Path("alias.txt")), "new");
    EXPECT_EQ(folder.Entries().size(), 3u);
}

TEST(FileioSaveIdentity, ASaveClearsAwayTemporaryFilesOfEndedProcessesOnly) {
    PROCESS_INFORMATION running = StartOtherProgram();
    PROCESS_INFORMATION ended = StartOtherProgram();
    ASSERT_NE(running.hProcess, nullptr);
    ASSERT_NE(ended.hProcess, nullptr);
    const DWORD endedId = ended.dwProcessId;
    EndProcess(ended);

    TempFolder folder;
    const Names kept = {TempName(GetCurrentProcessId()), "doc.txt",
                        "doc.txt.~tessary-" + std::to_string(endedId) + "-2.bak",
                        "~tessary-notes.tmp"};
    for (const std::string& name : kept)
        TempFolder::WriteBytes(folder.Path(name), "x");
    TempFolder::WriteBytes(folder.Path(TempName(endedId)), "a crashed save");
    TempFolder::WriteBytes(folder.Path(TempName(running.dwProcessId)), "pid reused");

    EXPECT_TRUE(Save(folder.U16("doc.txt"), u"saved"));
    EndProcess(running);
    EXPECT_EQ(Sorted(folder.Entries()), Sorted(kept));
}
