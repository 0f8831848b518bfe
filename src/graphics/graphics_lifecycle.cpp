#include "graphics/graphics_lifecycle.h"

#include <cstring>

#include "graphics/effects.h"
#include "graphics/graphics_context.h"
#include "graphics/present.h"

namespace velmio {
namespace {

void FillBlack(Surface& surface) {
  if (!surface.Empty()) std::memset(surface.pixels, 0, surface.imageSize);
}

}  // namespace

void InitialiseGraphics(GraphicsContext& engine) {
  GraphicsState& graphics = engine.graphics;
  for (Surface* surface : {&graphics.display, &graphics.compose, &graphics.effectWork}) {
    if (surface->width != kScreenWidth || surface->height != kScreenHeight || surface->BitsPerPixel() != 24)
      surface->Create(kScreenWidth, kScreenHeight, 24);
    FillBlack(*surface);
  }
  graphics.background.Reset();
  graphics.background.MakeBlank(kScreenWidth, kScreenHeight, 24);
  graphics.SetBackgroundName("black");
  graphics.backgroundColour = 0;
  for (int index = 0; index < kStandingCount; ++index) {
    graphics.standing[index].layer.Reset();
    graphics.PlaceStanding(index, {}, 0, 0);
  }
  for (int number = 0; number < kSpriteCount; ++number) {
    graphics.sprites[number].layer.Reset();
    graphics.SetSprite(number, {}, 0, 0, 0);
  }
  graphics.humanz = kDefaultHumanz;
  graphics.backgroundWindow = BackgroundWindow{};
  graphics.monochrome = false;
  graphics.monochromeRed = graphics.monochromeGreen = graphics.monochromeBlue = 0;
  graphics.negativeMode = 0;
  graphics.underline = kDefaultUnderline;
  graphics.defaultTransparency = TransparencyMode::TopLeftKey;
  // The definition block registers its plug-ins and archives again in every cycle.
  graphics.pictureSources.pictureLibraries.clear();
  graphics.pictureSources.archives.clear();
  graphics.dirty.Clear();
  ResetEffectSlots(graphics);
  graphics.effectBlank = kDefaultEffectBlank;
}

void ResetGraphicsForStart(GraphicsContext& engine) {
  GraphicsState& graphics = engine.graphics;
  graphics.dirty.Clear();
  FillBlack(graphics.display);
  PresentDisplay(engine);
  FillBlack(graphics.compose);
  FillBlack(graphics.effectWork);
  FillBlack(graphics.background.surface);
  graphics.SetBackgroundName("black");
  for (int index = 0; index < kStandingCount; ++index) graphics.ClearStandingName(index);
  for (int number = 0; number < kSpriteCount; ++number) {
    const Sprite& sprite = graphics.sprites[number];
    graphics.SetSprite(number, {}, 0, 0, sprite.Visible());
  }
}

void ResetGraphicsFiltersForStart(GraphicsContext& engine) {
  engine.graphics.monochrome = false;
  engine.graphics.negativeMode = 0;
}

}  // namespace velmio
