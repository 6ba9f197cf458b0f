// The files a save puts beside its target, and the removal of those that a
// crashed save left behind.
//
// A temporary file, "~tessary-<process id>-<n>.tmp", never holds the only
// copy of a file's old bytes: once its owner has ended it is junk. A backup,
// "<target name>.~tessary-<process id>-<n>.bak", holds the complete old bytes
// while the target is overwritten in place; left behind, it may be the only
// good copy, so it is never removed automatically.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::u16string SaveTempFileName(uint32_t processId, uint32_t number);
// Names a backup after its target so that the user can tell whose it is; a
// very long target name is shortened to keep the name within the limit
// file systems set.
std::u16string SaveBackupFileName(std::u16string_view targetName, uint32_t processId,
                                  uint32_t number);
// The owner's process id from a temporary file's name; false for any name
// SaveTempFileName does not make.
bool ParseSaveTempFileName(std::u16string_view name, uint32_t& processId);

// Deletes the temporary files in folder whose owner no longer runs.
void RemoveStaleSaveFiles(const std::u16string& folder);
