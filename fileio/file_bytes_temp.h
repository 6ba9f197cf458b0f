// The files a save makes besides the target's new bytes, and the removal of
// those that a crashed save left behind.
//
// A temporary file, "~tessary-<process id>-<n>.tmp", never holds the only
// copy of a file's old bytes: once its owner has ended it is junk. A backup,
// "<target name>.~tessary-<process id>-<n>.bak", holds the complete old bytes
// while the target is overwritten in place; left behind, it may be the only
// good copy, so it is never removed automatically. A record,
// "~tessary-<process id>-<n>.save" in the spare folder, names the target and
// the backup of a save that writes over the target (see save_record.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

std::u16string SaveTempFileName(uint32_t processId, uint32_t number);
// Names a backup after its target so that the user can tell whose it is; a
// very long target name is shortened to keep the name within the limit
// file systems set.
std::u16string SaveBackupFileName(std::u16string_view targetName, uint32_t processId,
                                  uint32_t number);
std::u16string SaveRecordFileName(uint32_t processId, uint32_t number);
// The owner's process id from a temporary file's or a record's name; false
// for any other name.
bool ParseSaveTempFileName(std::u16string_view name, uint32_t& processId);
bool ParseSaveRecordFileName(std::u16string_view name, uint32_t& processId);

// Deletes the temporary files in folder whose owner no longer runs.
void RemoveStaleSaveFiles(const std::u16string& folder);

// The platform's part.
struct SaveFileEntry {
    std::u16string name;
    std::u16string path;
};
// The files in folder named as temporary files and records begin: "~tessary-".
std::vector<SaveFileEntry> SaveFilesIn(const std::u16string& folder);
// False only when no running instance of this program has the process id:
// the files it named after itself belong to no save in progress.
bool SaveOwnerMayBeRunning(uint32_t processId);
// Makes the file, which must not exist yet, with bytes, and puts it on the
// disk; false, with nothing left, when that fails.
bool WriteNewSaveFile(const std::u16string& path, std::string_view bytes);
bool DeleteSaveFile(const std::u16string& path);
