// The record a save keeps while it writes over a file, in a folder of the
// user's own (the spare folder): which file, and which backup holds its
// complete old bytes. It is on the disk before the first new byte is
// written and goes once the backup has gone, so a record that outlives its
// process tells of a file that may be incomplete and of where its earlier
// version is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::string EncodeSaveRecord(const std::u16string& target, const std::u16string& backup);
// False for bytes EncodeSaveRecord did not make, a cut record among them.
bool DecodeSaveRecord(std::string_view bytes, std::u16string& target, std::u16string& backup);

// Keeps the record at path on the disk for as long as it lives: made
// before the first byte written over the target, it goes after the backup.
// Without a path, or when the record cannot be written, the save goes on
// without one: it would have written in place all the same.
class SaveRecordScope {
  public:
    SaveRecordScope(std::u16string path, const std::u16string& target,
                    const std::u16string& backup);
    ~SaveRecordScope();
    SaveRecordScope(const SaveRecordScope&) = delete;
    SaveRecordScope& operator=(const SaveRecordScope&) = delete;

  private:
    std::u16string path_;
};

struct InterruptedSave {
    std::u16string record; // the record's path
    std::u16string target;
    std::u16string backup;
};

// The saves whose records processes that ended left in folder. Records that
// tell nothing to the user are cleared away on the way: one whose backup is
// gone (the save got that far), one whose file still holds the backup's
// bytes (the overwrite never began, and the backup goes too) and one cut
// short (written before the overwrite, so the overwrite never began). So
// are temporary files of ended processes.
std::vector<InterruptedSave> CollectInterruptedSaves(const std::u16string& folder);
// Writes the backup's bytes over the file, as a save does (spareFolder
// serving it as any save); the backup and the record go once the file
// holds them. False, with both kept, when that fails.
bool RestoreInterruptedSave(const InterruptedSave& save, const std::u16string& spareFolder);
// The record goes; the backup stays where the user was told it is.
void DismissInterruptedSave(const InterruptedSave& save);
