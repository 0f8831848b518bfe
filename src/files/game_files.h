#pragma once
// The small files the program keeps beside the game (player settings, saves, global variables,
// the picture log). Each is replaced as a whole: written to a temporary file in the same folder,
// flushed, and renamed over the old one, so a crash or power cut never leaves half a file. When
// the game folder is read-only they live in $XDG_DATA_HOME/velmio/<game folder name>/ instead.
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmio {

// The path to read `name` from: the copy in the data folder when the game folder is read-only
// and such a copy exists, else `name` in the game folder (the current folder).
std::string GameFileForReading(std::string_view name);

// Where a new file `name` can be written: in the game folder, or in the data folder when the game
// folder is read-only. Empty when neither is possible.
std::string PathForNewGameFile(std::string_view name);

// When the file at `path` was last written, or nothing when there is no such file.
std::optional<std::time_t> LastWriteTime(const std::string& path);

// Replaces `name` with `bytes`. False when it could be written nowhere.
bool WriteGameFile(std::string_view name, std::span<const uint8_t> bytes);

}  // namespace velmio
