#pragma once
// The two settings files: "config.txt" (switches read once at start) and "envdata" (the
// player's menu choices, written at every exit and replayed at every initialisation).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmio {

class ShellContext;
struct ShellState;
struct SoundState;

// The content of "envdata".
struct PlayerSettings {
  int32_t fullScreen = 0;
  int32_t waveEnabled = 0;
  int32_t speedIndex = 0;
  int32_t pageMode = 0;
  std::string fontFace;  // Shift JIS
};

// A short file is read as far as it goes: missing numbers are 0, a missing name is empty.
PlayerSettings DecodePlayerSettings(std::span<const uint8_t> bytes);
std::vector<uint8_t> EncodePlayerSettings(const PlayerSettings& settings);

// Reads "config.txt" from the game folder into the shell's switches; no file, no change.
void ReadConfigFile(SoundState& sound);

// Posts the menu commands that restore the settings in "envdata" (nothing without the file).
void ReadSettings(ShellContext& engine);
// After each dispatched message: the replay is complete once its menu commands have been handled.
void NoteSettingsReplayed(ShellContext& engine);
// Writes "envdata" from the engine's state; a file that cannot be written is skipped silently.
void WriteSettings(const ShellContext& engine);

}  // namespace velmio
