// `bg`, `ld`, `cl`, `tal`: the background and the three standing pictures. Each ends with an
// effect operand and shows the change at once.
#include <algorithm>
#include <string>

#include "base/ascii.h"
#include "graphics/effects.h"
#include "graphics/graphics_context.h"
#include "graphics/graphics_lifecycle.h"
#include "graphics/picture_command_handlers.h"
#include "graphics/picture_loader.h"

namespace velmio {
namespace {

// The standing picture a position letter names, or -1 for any other letter (which changes no
// picture; its operands are still read).
int StandingIndex(char letter) {
  switch (letter) {
    case 'l': return kStandingLeft;
    case 'c': return kStandingCentre;
    case 'r': return kStandingRight;
    default: return -1;
  }
}

void MarkStanding(GraphicsState& graphics, int index) {
  const StandingPicture& standing = graphics.standing[index];
  MarkLayer(graphics, standing.layer, standing.X(), standing.Y());
}

void ClearStanding(GraphicsState& graphics, int index) {
  MarkStanding(graphics, index);
  graphics.standing[index].layer.DestroyPicture();
  graphics.ClearStandingName(index);
}

// Makes the background a blank picture of the screen's size (the background window's when it is
// on) and fills it with 0xRRGGBB.
void FillBackground(GraphicsState& graphics, uint32_t rgb) {
  int32_t width = kScreenWidth;
  int32_t height = kScreenHeight;
  if (graphics.backgroundWindow.On()) {
    width = std::clamp(graphics.backgroundWindow.width, 1, kScreenWidth);
    height = std::clamp(graphics.backgroundWindow.height, 1, kScreenHeight);
  }
  graphics.background.MakeBlank(width, height, 24);
  graphics.background.Fill(0, 0, kScreenWidth, kScreenHeight, rgb);
  graphics.backgroundColour = rgb;
}

// A picture that is not exactly screen-sized is centred on black: smaller ones show a black
// border, larger ones are cut around their centre.
void LoadBackgroundPicture(GraphicsContext& engine, const std::string& descriptor) {
  GraphicsState& graphics = engine.graphics;
  graphics.SetBackgroundName(descriptor);
  LoadPicture(engine, graphics.background, descriptor);
  const int32_t width = graphics.background.DisplayedWidth();
  const int32_t height = graphics.background.DisplayedHeight();
  if (width == kScreenWidth && height == kScreenHeight) return;
  FillSurface(graphics.effectWork, 0, 0, kScreenWidth, kScreenHeight, 0);
  CopySurfaceRect(graphics.effectWork, kScreenWidth / 2 - width / 2, kScreenHeight / 2 - height / 2, width, height,
                  graphics.background.surface, 0, 0);
  graphics.background.MakeBlank(kScreenWidth, kScreenHeight, 24);
  CopySurfaceRect(graphics.background.surface, 0, 0, kScreenWidth, kScreenHeight, graphics.effectWork, 0, 0);
}

// "#rrggbb" as 0xRRGGBB, or -1 when the text is not such a colour.
int64_t ParseColour(const std::string& text) {
  if (text.size() != 7 || text[0] != '#') return -1;
  int64_t rgb = 0;
  for (size_t at = 1; at < 7; ++at) {
    int digit = HexDigitValue(static_cast<unsigned char>(text[at]));
    if (digit < 0) return -1;
    rgb = rgb * 16 + digit;
  }
  return rgb;
}

}  // namespace

void RestoreSavedPictures(GraphicsContext& engine) {
  GraphicsState& graphics = engine.graphics;
  const std::string name = graphics.BackgroundName();
  int64_t rgb = ParseColour(name);
  if (rgb >= 0) {
    FillBackground(graphics, static_cast<uint32_t>(rgb));
  } else if (name == "black" || name == "white" || name.empty()) {
    FillBackground(graphics, name == "white" ? 0xFFFFFF : 0x000000);
  } else {
    LoadBackgroundPicture(engine, name);
  }
  for (StandingPicture& standing : graphics.standing) {
    if (standing.Name().empty()) {
      standing.layer.DestroyPicture();
    } else {
      LoadPicture(engine, standing.layer, standing.Name());
    }
  }
  for (Sprite& sprite : graphics.sprites) {
    if (sprite.Name().empty()) {
      sprite.layer.DestroyPicture();
    } else {
      LoadPicture(engine, sprite.layer, sprite.Name());
    }
  }
}

void BackgroundCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  script.SkipBlanks();
  if (script.Current() == '"') {
    LoadBackgroundPicture(engine, script.ReadString());
  } else if (script.Current() == '#') {
    const int32_t start = script.position;
    uint32_t rgb = script.ReadColor();
    FillBackground(graphics, rgb);
    // Save files restore the background from its name, so a colour is recorded as written.
    graphics.SetBackgroundName(std::string_view(script.Text() + start, 7));
  } else {
    const int32_t start = script.position;
    std::string word = script.ReadToken();
    if (word == "black" || word == "white") {
      FillBackground(graphics, word == "black" ? 0x000000 : 0xFFFFFF);
      graphics.SetBackgroundName(word);
    } else {
      // Not a colour: a string variable or alias naming a picture.
      script.position = start;
      LoadBackgroundPicture(engine, script.ReadString());
    }
  }
  for (int index = 0; index < kStandingCount; ++index) {
    graphics.ClearStandingName(index);
    graphics.standing[index].layer.DestroyPicture();
  }
  script.ExpectComma();
  graphics.dirty.SetWholeScreen();
  RunPrint(engine);
}

void LoadStandingCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int index = StandingIndex(ReadPositionLetter(script));
  script.ExpectComma();
  std::string descriptor = script.ReadString();
  script.ExpectComma();
  if (index >= 0) {
    StandingPicture& standing = graphics.standing[index];
    MarkStanding(graphics, index);
    graphics.PlaceStanding(index, descriptor, standing.X(), standing.Y());
    LoadPicture(engine, standing.layer, descriptor);
    graphics.PlaceStanding(index, descriptor, GraphicsState::kStandingAnchors[index] - standing.layer.DisplayedWidth() / 2,
                           graphics.underline - standing.layer.DisplayedHeight());
    MarkStanding(graphics, index);
  }
  RunPrint(engine);
}

void ClearStandingCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const char letter = ReadPositionLetter(script);
  script.ExpectComma();
  if (letter == 'a') {
    for (int index = 0; index < kStandingCount; ++index) ClearStanding(graphics, index);
  } else if (int index = StandingIndex(letter); index >= 0) {
    ClearStanding(graphics, index);
  }
  RunPrint(engine);
}

void StandingAlphaCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int index = StandingIndex(ReadPositionLetter(script));
  script.ExpectComma();
  const int32_t alpha = script.ReadNumber();
  script.ExpectComma();
  if (index >= 0) {
    graphics.standing[index].layer.alpha = std::clamp(alpha, 0, 255);
    MarkStanding(graphics, index);
  }
  RunPrint(engine);
}

}  // namespace velmio
