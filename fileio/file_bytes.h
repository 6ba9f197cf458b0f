// Whole-file reads and writes that never leave a file half written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads the whole file at once. False when it cannot be opened or read, is
// not a regular file, or holds 2 GiB or more (a size that does not fit a
// signed 32-bit position).
bool ReadFileBytes(const std::u16string& path, std::string& bytes);

// Replaces the file's content with bytes, or creates the file. The target
// stays what it is: a link stays a link and the file it leads to gets the
// bytes, hard links stay one file, and attributes, permissions and security
// are kept. Where putting a new file in the target's place keeps all that,
// the bytes go to a temporary file beside it that replaces the target once
// complete; otherwise the target is overwritten in place after a complete
// backup copy beside it, which is put back should the write fail. A
// read-only target, a folder and a missing folder fail. Stale temporary
// files that ended processes left in the target's folder are removed.
//
// On failure the target normally holds its old bytes and nothing else is
// left. Should the old bytes not go back, keptBackup (when given) names the
// backup that holds them, which stays; it is empty in every other case.
bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes,
                          std::u16string* keptBackup = nullptr);

// Test seam: when set, each write a save makes (new bytes, backup copy,
// restore) is cut down to the number of bytes this returns for the
// requested size, as a full disk would.
extern size_t (*g_writeLimitForTesting)(size_t requested);
