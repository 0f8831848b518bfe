// `lsp`, `lsph`, `csp`, `vsp`, `msp`: the 60 sprites. They change layers and mark the DirtyRect;
// nothing is shown until the next `print`.
#include <algorithm>
#include <string>

#include "base/errors.h"
#include "graphics/graphics_context.h"
#include "graphics/picture_command_handlers.h"
#include "graphics/picture_loader.h"

namespace velmio {
namespace {

enum class Visibility { Shown, Hidden };

// Sprite numbers index fixed arrays; a number outside them is a scenario error, not something
// to read or write beyond the table.
int SpriteNumber(int32_t number) {
  if (number < 0 || number >= kSpriteCount)
    RaiseError("エラー", "スプライト番号%dは0～59の範囲外です。", std::to_string(number));
  return number;
}

int DefinedSpriteNumber(const GraphicsState& graphics, int32_t number) {
  if (graphics.sprites[SpriteNumber(number)].Name().empty())
    RaiseError("エラー", "定義されていないスプライト%dを使おうとしました。", std::to_string(number));
  return number;
}

void MarkSprite(GraphicsState& graphics, const Sprite& sprite) { MarkLayer(graphics, sprite.layer, sprite.X(), sprite.Y()); }

// An alpha operand: -1 keeps "no blending", anything else is held to 0..255 so that blending
// never indexes outside the blend table.
int32_t SpriteAlpha(int32_t value) { return value == -1 ? -1 : std::clamp(value, 0, 255); }

void LoadSprite(GraphicsContext& engine, Visibility visibility) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int number = SpriteNumber(script.ReadNumber());
  Sprite& sprite = graphics.sprites[number];
  script.ExpectComma();
  if (sprite.Shown()) MarkSprite(graphics, sprite);
  std::string descriptor = script.ReadString();
  script.ExpectComma();
  const int32_t x = script.ReadNumber();
  script.ExpectComma();
  const int32_t y = script.ReadNumber();
  graphics.SetSprite(number, descriptor, x, y, visibility == Visibility::Shown ? 1 : 0);
  LoadPicture(engine, sprite.layer, descriptor);
  if (sprite.Visible() != 0) MarkSprite(graphics, sprite);
  script.SkipBlanks();
  if (script.Current() == ',') {
    ++script.position;
    sprite.layer.alpha = SpriteAlpha(script.ReadNumber());
  }
}

void ClearSprite(GraphicsState& graphics, int number) {
  Sprite& sprite = graphics.sprites[number];
  graphics.ClearSpriteName(number);
  if (sprite.Visible() != 0) MarkSprite(graphics, sprite);
  sprite.layer.DestroyPicture();
}

}  // namespace

void LoadSpriteCommand(GraphicsContext& engine) { LoadSprite(engine, Visibility::Shown); }
void LoadHiddenSpriteCommand(GraphicsContext& engine) { LoadSprite(engine, Visibility::Hidden); }

void ClearSpriteCommand(GraphicsContext& engine) {
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int32_t number = engine.script.ReadNumber();
  if (number == -1) {
    for (int each = 0; each < kSpriteCount; ++each)
      if (!graphics.sprites[each].Name().empty()) ClearSprite(graphics, each);
    return;
  }
  if (!graphics.sprites[SpriteNumber(number)].Name().empty()) ClearSprite(graphics, number);
}

void SpriteVisibilityCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int32_t number = script.ReadNumber();
  script.ExpectComma();
  const int32_t visible = script.ReadNumber();
  const Sprite& sprite = graphics.sprites[DefinedSpriteNumber(graphics, number)];
  if (visible != sprite.Visible()) MarkSprite(graphics, sprite);
  graphics.SetSpriteVisible(number, visible);
}

void MoveSpriteCommand(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  engine.EraseTextWindow();
  const int32_t number = script.ReadNumber();
  script.ExpectComma();
  const int32_t dx = script.ReadNumber();
  script.ExpectComma();
  const int32_t dy = script.ReadNumber();
  Sprite& sprite = graphics.sprites[DefinedSpriteNumber(graphics, number)];
  if (sprite.Visible() != 0) MarkSprite(graphics, sprite);
  // Wrapping arithmetic: a runaway script moves the sprite off the screen, never into UB.
  graphics.MoveSprite(number, static_cast<int32_t>(static_cast<uint32_t>(sprite.X()) + static_cast<uint32_t>(dx)),
                      static_cast<int32_t>(static_cast<uint32_t>(sprite.Y()) + static_cast<uint32_t>(dy)));
  if (sprite.Visible() != 0) MarkSprite(graphics, sprite);
  script.SkipBlanks();
  if (script.Current() == ',') {
    ++script.position;
    const int64_t dalpha = script.ReadNumber();
    const int64_t alpha = sprite.layer.alpha == -1 ? 255 : sprite.layer.alpha;
    sprite.layer.alpha = static_cast<int32_t>(std::clamp<int64_t>(alpha + dalpha, 0, 255));
  }
}

}  // namespace velmio
