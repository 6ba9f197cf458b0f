// The start after a save that did not complete: the user learns which file
// may be incomplete and where its earlier version is, and each answer does
// what the question says.
#include "tests/win/app_window_fixture.h"

#include "fileio/file_bytes_temp.h"
#include "fileio/save_record.h"

#include <filesystem>
#include <string>

namespace {

class InterruptedSavesTest : public MainWindowTest {};

} // namespace

TEST_F(InterruptedSavesTest, TheNextStartNamesTheFileAndItsBackupAndOffersTheEarlierVersion) {
    struct Case {
        int answer;
        const char* target; // afterwards
        bool backupKept;
        bool askedAgain; // the record stays for the next start
    };
    const Case cases[] = {
        {IDYES, "earlier version", false, false},
        {IDNO, "new half, old half", true, false},
        {IDCANCEL, "new half, old half", true, true},
    };
    TempFolder folder;
    const std::filesystem::path target = folder.Path("notes.txt");
    const std::filesystem::path backup = folder.Path("notes.txt.~tessary-2000000001-7.bak");
    const std::filesystem::path spare = recovery_.Path("Recovery");
    const std::u16string recordName = SaveRecordFileName(2000000001, 8);
    const std::filesystem::path record = spare / recordName;
    std::filesystem::create_directories(spare);
    for (const Case& c : cases) {
        TempFolder::WriteBytes(target, "new half, old half");
        TempFolder::WriteBytes(backup, "earlier version");
        TempFolder::WriteBytes(record, EncodeSaveRecord(target.u16string(), backup.u16string()));
        messages_.clear();
        answer_ = c.answer;
        Create();
        Destroy();

        ASSERT_EQ(messages_.size(), 1u) << c.answer;
        EXPECT_NE(messages_[0].text.find(target.wstring()), std::wstring::npos);
        EXPECT_NE(messages_[0].text.find(backup.wstring()), std::wstring::npos);
        EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
        EXPECT_EQ(TempFolder::ReadBytes(target), c.target) << c.answer;
        EXPECT_EQ(std::filesystem::exists(backup), c.backupKept) << c.answer;
        EXPECT_EQ(std::filesystem::exists(record), c.askedAgain) << c.answer;
        std::filesystem::remove(backup);
        std::filesystem::remove(record);
    }
}
