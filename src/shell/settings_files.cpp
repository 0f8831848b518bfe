#include "shell/settings_files.h"

#include <cstring>

#include "base/lines.h"
#include "files/file_reading.h"
#include "files/game_files.h"
#include "shell/menu_commands.h"
#include "shell/shell_context.h"

namespace velmio {
namespace {

constexpr char kSettingsFile[] = "envdata";
constexpr char kConfigFile[] = "config.txt";
constexpr std::string_view kCdFadeOffSwitch = "cdfadeoff";
// Both files are a few lines or bytes; anything far longer is not what it claims to be and is
// read only this far.
constexpr size_t kMaxSettingsFileSize = 64 * 1024;

void PostMenuCommand(ShellContext& engine, uint32_t id) {
  engine.messages.Post(Message{MessageKind::MenuCommand, 0, 0, id});
}

}  // namespace

PlayerSettings DecodePlayerSettings(std::span<const uint8_t> bytes) {
  PlayerSettings settings;
  int32_t* fields[] = {&settings.fullScreen, &settings.waveEnabled, &settings.speedIndex, &settings.pageMode};
  size_t at = 0;
  for (int32_t* field : fields) {
    if (at + 4 > bytes.size()) return settings;
    uint32_t value = static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
                     static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    *field = static_cast<int32_t>(value);
    at += 4;
  }
  while (at < bytes.size() && bytes[at] != 0) settings.fontFace.push_back(static_cast<char>(bytes[at++]));
  return settings;
}

std::vector<uint8_t> EncodePlayerSettings(const PlayerSettings& settings) {
  std::vector<uint8_t> bytes;
  for (int32_t field : {settings.fullScreen, settings.waveEnabled, settings.speedIndex, settings.pageMode}) {
    uint32_t value = static_cast<uint32_t>(field);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
  }
  bytes.insert(bytes.end(), settings.fontFace.begin(), settings.fontFace.end());
  bytes.push_back(0);
  return bytes;
}

void ReadConfigFile(SoundState& sound) {
  std::string content;
  if (!ReadWholeFile(kConfigFile, content, kMaxSettingsFileSize)) return;
  // Only the start of a line counts: "cdfadeoff" followed by anything switches the fade off.
  for (std::string_view line : SplitLines(content))
    if (line.starts_with(kCdFadeOffSwitch)) sound.cdFadeOff = true;
}

void ReadSettings(ShellContext& engine) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(GameFileForReading(kSettingsFile), bytes, kMaxSettingsFileSize)) {
    engine.shell.settingsReplay = SettingsReplay::Applied;
    return;
  }
  PlayerSettings settings = DecodePlayerSettings(bytes);
  const size_t queuedBefore = engine.messages.Size();
  if (settings.fullScreen != 0) PostMenuCommand(engine, menu_id::kFullScreen);
  if (settings.waveEnabled == 0) PostMenuCommand(engine, menu_id::kWaveOff);
  if (settings.pageMode != 0) PostMenuCommand(engine, menu_id::kPageAtATime);
  if (settings.speedIndex >= 0 && settings.speedIndex <= 2)
    PostMenuCommand(engine, menu_id::kSpeedSlow + static_cast<uint32_t>(settings.speedIndex));
  if (settings.fontFace != engine.text.configuredFontFace) {
    if (auto id = engine.shell.menu.FindFont(settings.fontFace)) PostMenuCommand(engine, *id);
  }
  const bool posted = engine.messages.Size() > queuedBefore;
  engine.shell.settingsReplay = posted ? SettingsReplay::Posted : SettingsReplay::Applied;
}

void NoteSettingsReplayed(ShellContext& engine) {
  // The replayed commands were posted first, so none left in the queue means all were handled.
  if (engine.shell.settingsReplay == SettingsReplay::Posted && !engine.messages.Contains(MessageKind::MenuCommand))
    engine.shell.settingsReplay = SettingsReplay::Applied;
}

void WriteSettings(const ShellContext& engine) {
  PlayerSettings settings;
  settings.fullScreen = engine.shell.fullScreen ? 1 : 0;
  settings.waveEnabled = engine.sound.waveEnabled ? 1 : 0;
  settings.speedIndex = engine.input.speedIndex;
  settings.pageMode = engine.input.pageMode ? 1 : 0;
  settings.fontFace = engine.text.defaultFontFace;
  WriteGameFile(kSettingsFile, EncodePlayerSettings(settings));
}

}  // namespace velmio
