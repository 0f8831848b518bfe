#include "graphics/graphics_state.h"

#include <algorithm>

namespace velmio {

void DirtyRect::Add(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (Empty()) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  } else {
    left = std::min(left, l);
    top = std::min(top, t);
    right = std::max(right, r);
    bottom = std::max(bottom, b);
  }
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > kScreenWidth - 1) right = kScreenWidth - 1;
  if (bottom > kScreenHeight - 1) bottom = kScreenHeight - 1;
}

GraphicsState::GraphicsState() {
  display.Create(kScreenWidth, kScreenHeight, 24);
  compose.Create(kScreenWidth, kScreenHeight, 24);
  effectWork.Create(kScreenWidth, kScreenHeight, 24);
  background.MakeBlank(kScreenWidth, kScreenHeight, 24);
  maskFadeOld.Create(kScreenWidth, kScreenHeight, 24);
  maskBytes.assign(static_cast<size_t>(kScreenWidth) * 3 * kScreenHeight, 0);
  effectSlots[0].type = 0;
  effectSlots[1].type = 1;
}

void GraphicsState::SetBackgroundName(std::string_view name) {
  backgroundName_.assign(name);
  ++pictureRevision_;
}

void GraphicsState::PlaceStanding(int index, std::string_view name, int32_t x, int32_t y) {
  StandingPicture& picture = standing[index];
  picture.name_.assign(name);
  picture.x_ = x;
  picture.y_ = y;
  ++pictureRevision_;
}

void GraphicsState::SetSprite(int number, std::string_view name, int32_t x, int32_t y, int32_t visible) {
  Sprite& sprite = sprites[number];
  sprite.name_.assign(name);
  sprite.x_ = x;
  sprite.y_ = y;
  sprite.visible_ = visible;
  ++pictureRevision_;
}

void GraphicsState::ClearSpriteName(int number) {
  sprites[number].name_.clear();
  ++pictureRevision_;
}

void GraphicsState::MoveSprite(int number, int32_t x, int32_t y) {
  sprites[number].x_ = x;
  sprites[number].y_ = y;
  ++pictureRevision_;
}

void GraphicsState::SetSpriteVisible(int number, int32_t visible) {
  sprites[number].visible_ = visible;
  ++pictureRevision_;
}

}  // namespace velmio
