// Whole-file reads and writes that never leave a file half written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads the whole file at once. False when it cannot be opened or read, is
// not a regular file, or holds 2 GiB or more (a size that does not fit a
// signed 32-bit position).
bool ReadFileBytes(const std::u16string& path, std::string& bytes);

// Replaces the file's content with bytes, or creates the file. The bytes go
// to a new temporary file beside the target, which replaces the target only
// once it is complete and flushed, keeping an existing target's attributes
// and permissions. On failure the target is unchanged and the temporary file
// is gone. A read-only target, a folder and a missing folder fail.
bool WriteFileBytesSafely(const std::u16string& path, std::string_view bytes);

// Test seam: when set, each write to the temporary file is cut down to the
// number of bytes this returns for the requested size, as a full disk would.
extern size_t (*g_writeLimitForTesting)(size_t requested);
