#pragma once
// Reading the files a game is made of. Only regular files are read: a named pipe or a device
// in the game folder must not block the start-up or feed it without end, so the file is opened
// without waiting and checked on the open descriptor before a byte is read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmio {

// More than any file a game keeps beside the program (the scenario, 5 MB, is the largest).
constexpr size_t kMaxWholeFileSize = size_t{256} << 20;

// The whole file, or its first `limit` + 1 bytes when it is longer (so that the caller can tell
// it was too long). False when it is missing, not a regular file, or cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit = kMaxWholeFileSize);
bool ReadWholeFile(const std::string& path, std::string& text, size_t limit = kMaxWholeFileSize);

// A read-only descriptor for `path` when it is a regular file (checked on the descriptor, which
// was opened without waiting and is blocking again when returned), else -1.
int OpenRegularFile(const std::string& path);

// True when `path` names a regular file (following links).
bool IsRegularFile(const std::string& path);

// The absolute path of the current folder (the game folder), for messages.
std::string CurrentFolderPath();

}  // namespace velmio
