// The picture command table, the placement and filter settings (`humanz`, `underline`, `bgalia`,
// `transmode`, `monocro`, `nega`) and the plug-in and archive registration (`spi`, `arc`).
#include <algorithm>
#include <limits>
#include <string>

#include "base/ascii.h"
#include "base/errors.h"
#include "graphics/graphics_commands.h"
#include "graphics/graphics_context.h"
#include "graphics/picture_command_handlers.h"

namespace velmio {
namespace {

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void Humanz(GraphicsContext& engine) {
  int32_t humanz = engine.script.ReadNumber();
  if (humanz < 0 || humanz >= kSpriteCount) RaiseError("エラー", "humanz指定が範囲外です。");
  engine.graphics.humanz = humanz;
}

void Underline(GraphicsContext& engine) { engine.graphics.underline = engine.script.ReadNumber(); }

void BackgroundWindowCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  BackgroundWindow& window = engine.graphics.backgroundWindow;
  window.x = script.ReadNumber();
  script.ExpectComma();
  window.y = script.ReadNumber();
  script.ExpectComma();
  window.width = script.ReadNumber();
  script.ExpectComma();
  window.height = script.ReadNumber();
}

void TransparencyModeCommand(GraphicsContext& engine) {
  std::string word = engine.script.ReadToken();
  TransparencyMode& mode = engine.graphics.defaultTransparency;
  if (word == "leftup") {
    mode = TransparencyMode::TopLeftKey;
  } else if (word == "copy") {
    mode = TransparencyMode::Copy;
  } else if (word == "alpha") {
    mode = TransparencyMode::AlphaMask;
  } else {
    RaiseError("構文エラー", "transmode命令の次はleftup、copy、alphaのいずれかです。");
  }
}

[[noreturn]] void MonochromeOperandError() {
  RaiseError("構文エラー", "monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。");
}

void Monochrome(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  script.SkipBlanks();
  unsigned char next = script.Current();
  if ((next | 0x20) == 'o') {
    if (script.ReadToken() != "off") MonochromeOperandError();
    graphics.monochrome = false;
  } else if (next == '#') {
    uint32_t rgb = script.ReadColor();
    graphics.monochromeRed = static_cast<uint8_t>(rgb >> 16);
    graphics.monochromeGreen = static_cast<uint8_t>(rgb >> 8);
    graphics.monochromeBlue = static_cast<uint8_t>(rgb);
    graphics.monochrome = true;
  } else {
    MonochromeOperandError();
  }
  AddDirtyRect(graphics, 0, 0, kScreenWidth, kScreenHeight);
}

void Negative(GraphicsContext& engine) {
  engine.graphics.negativeMode = engine.script.ReadNumber();
  AddDirtyRect(engine.graphics, 0, 0, kScreenWidth, kScreenHeight);
}

void Register(std::vector<std::string>& list, size_t limit, const std::string& entry) {
  if (list.size() >= limit) RaiseError("エラー", "SPI設定が多すぎます。");
  list.push_back(LowerAscii(entry));
}

constexpr GraphicsCommand kPictureCommands[] = {
    {"bg", CommandGroup::RunOnly, BackgroundCommand},
    {"ld", CommandGroup::RunOnly, LoadStandingCommand},
    {"cl", CommandGroup::RunOnly, ClearStandingCommand},
    {"tal", CommandGroup::RunOnly, StandingAlphaCommand},
    {"lsp", CommandGroup::RunOnly, LoadSpriteCommand},
    {"lsph", CommandGroup::RunOnly, LoadHiddenSpriteCommand},
    {"csp", CommandGroup::RunOnly, ClearSpriteCommand},
    {"vsp", CommandGroup::RunOnly, SpriteVisibilityCommand},
    {"msp", CommandGroup::RunOnly, MoveSpriteCommand},
    {"monocro", CommandGroup::RunOnly, Monochrome},
    {"nega", CommandGroup::RunOnly, Negative},
    {"quakex", CommandGroup::RunOnly, QuakeHorizontalCommand},
    {"quakey", CommandGroup::RunOnly, QuakeVerticalCommand},
    {"humanz", CommandGroup::DefinitionOnly, Humanz},
    {"underline", CommandGroup::DefinitionOnly, Underline},
    {"bgalia", CommandGroup::DefinitionOnly, BackgroundWindowCommand},
    {"transmode", CommandGroup::DefinitionOnly, TransparencyModeCommand},
    {"spi", CommandGroup::DefinitionOnly, PictureLibraryCommand},
    {"arc", CommandGroup::DefinitionOnly, ArchiveCommand},
};

}  // namespace

char ReadPositionLetter(Script& script) {
  script.SkipBlanks();
  unsigned char letter = script.Current();
  if (letter == '\0' || letter == '\n') return '\0';
  ++script.position;
  return static_cast<char>(LowerAsciiByte(letter));
}

void MarkLayer(GraphicsState& graphics, const PictureLayer& layer, int32_t x, int32_t y) {
  AddDirtyRect(graphics, x, y, Saturate(int64_t{x} + layer.DisplayedWidth() + 1),
               Saturate(int64_t{y} + layer.DisplayedHeight() + 1));
}

void PictureLibraryCommand(GraphicsContext& engine) {
  Register(engine.graphics.pictureSources.pictureLibraries, kMaxPictureLibraries, engine.script.ReadString());
}

void ArchiveCommand(GraphicsContext& engine) {
  Register(engine.graphics.pictureSources.archives, kMaxArchives, engine.script.ReadString());
}

std::span<const GraphicsCommand> PictureCommands() { return kPictureCommands; }

}  // namespace velmio
