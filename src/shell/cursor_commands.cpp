// `mousecursor`: the player's pointer over the picture, from a Windows cursor file in the game
// folder or in one of its archives.
#include <filesystem>

#include "base/errors.h"
#include "files/file_reading.h"
#include "files/game_files.h"
#include "graphics/archive_lookup.h"
#include "script/script.h"
#include "shell/cursor_file.h"
#include "shell/shell_command_handlers.h"
#include "shell/shell_context.h"

namespace velmio {
namespace {

void UseStandardCursor(ShellContext& engine) {
  engine.shell.customCursor = false;
  engine.platform.UseCursor(CursorChoice::Arrow);
  engine.platform.SetCustomCursor(nullptr);
}

// A file that is there but is no cursor the program can read leaves the standard arrow: a
// pointer that vanished over the picture would leave the player stuck.
void UseCursorFile(ShellContext& engine, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::optional<CursorImage> image;
  if (ReadWholeFile(path, bytes)) image = ParseCursorFile(bytes);
  if (!image || !engine.platform.SetCustomCursor(&*image)) {
    UseStandardCursor(engine);
    return;
  }
  engine.shell.customCursor = true;
  engine.platform.UseCursor(CursorChoice::Custom);
}

}  // namespace

void MouseCursorCommand(ShellContext& engine) {
  Script& script = engine.script;
  script.SkipBlanks();
  if (script.Current() == 'o') {
    if (script.ReadToken() != "off") RaiseError("エラー", "mousecursorのパラメータは、offかファイル名です。");
    UseStandardCursor(engine);
    return;
  }
  std::string name = script.ReadString();
  std::error_code error;
  if (!name.empty() && std::filesystem::is_regular_file(name, error)) {
    UseCursorFile(engine, name);
    return;
  }
  TemporaryCopy extracted(FindInArchives(engine, name));
  if (extracted.Path().empty()) RaiseError("エラー", "カーソルファイルが見つかりません。");
  UseCursorFile(engine, extracted.Path());
}

}  // namespace velmio
