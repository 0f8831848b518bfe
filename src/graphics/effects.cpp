// Transition effects: ShowWithEffect with types 0..18, the effect slots and the
// commands `effect`, `effectblank` and `print`.
//
// The window: the platform keeps what was presented last over each area. While a stripe, wipe
// or scroll effect runs, the effect work surface holds the window's picture (the display surface
// at the start, with the steps drawn into it), and every step presents it; the crossfade builds
// its frames there too; the mask effects and the mosaics draw into the display surface itself.
#include "graphics/effects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/errors.h"
#include "base/warning.h"
#include "graphics/compose.h"
#include "graphics/graphics_commands.h"
#include "graphics/graphics_context.h"
#include "graphics/picture_loader.h"
#include "graphics/pixel_kernels.h"
#include "graphics/present.h"

namespace velmio {
namespace {

constexpr int kRowBytes = kScreenWidth * 3;

// The inclusive rectangle an effect works on.
struct EffectRect {
  int left = 0;
  int top = 0;
  int right = kScreenWidth - 1;
  int bottom = kScreenHeight - 1;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  bool WholeScreen() const { return left == 0 && top == 0 && right == kScreenWidth - 1 && bottom == kScreenHeight - 1; }
  ScreenArea Area() const { return ScreenArea{left, top, Width(), Height()}; }
};

uint32_t Now(GraphicsContext& engine) { return engine.platform.Milliseconds(); }

// Frames shown by the running effect; with VELMIO_EFFECT_STATS set in the environment each effect
// reports its frame count and duration on standard error (for measuring the window backend).
int framesShown = 0;

void ShowFrame(GraphicsContext& engine, const Surface& source, const ScreenArea& area) {
  ++framesShown;
  CopyToWindow(engine, source, area);
}

uint32_t Elapsed(GraphicsContext& engine, uint32_t since) { return Now(engine) - since; }

// Sleeps until `slot` ms have passed since `start` (nothing when they already have). Input that
// arrives meanwhile is moved into the queue for the next step's pump, not dispatched.
void SleepUntil(GraphicsContext& engine, uint32_t start, int64_t slot) {
  for (;;) {
    const int64_t elapsed = Elapsed(engine, start);
    if (elapsed >= slot) return;
    engine.platform.Idle(static_cast<uint32_t>(slot - elapsed), WaitKind::Timed);
    engine.platform.CollectEvents(engine.messages);
  }
}

// The end of every fixed-length step: one message dispatched, then the rest of the slot slept.
void EndStep(GraphicsContext& engine, uint32_t stepStart, int64_t slot) {
  engine.PumpOneMessage();
  SleepUntil(engine, stepStart, slot);
}

void Sleep(GraphicsContext& engine, int64_t milliseconds) {
  if (milliseconds > 0) SleepUntil(engine, Now(engine), milliseconds);
}

// Copies the inclusive rectangle of one 640 x 480 x 24 surface into the same place of another.
void CopyRect(Surface& target, const Surface& source, int left, int top, int right, int bottom) {
  CopySurfaceRect(target, left, top, right - left + 1, bottom - top + 1, source, left, top);
}

void CopyColumn(Surface& target, const Surface& source, int x, const EffectRect& r) {
  for (int y = r.top; y <= r.bottom; ++y) std::memcpy(target.Row(y) + x * 3, source.Row(y) + x * 3, 3);
}

void CopyRow(Surface& target, const Surface& source, int y, const EffectRect& r) {
  std::memcpy(target.Row(y) + r.left * 3, source.Row(y) + r.left * 3, static_cast<size_t>(r.Width()) * 3);
}

// Types 2 to 5: 16 steps of T/16 ms; step k copies every 16th column (or row) from offset k.
void Stripes(GraphicsContext& engine, int type, int32_t duration, const EffectRect& r) {
  GraphicsState& graphics = engine.graphics;
  Surface& window = graphics.effectWork;
  CopyRect(window, graphics.display, r.left, r.top, r.right, r.bottom);
  const bool vertical = type == 2 || type == 3;  // columns
  const bool forward = type == 2 || type == 4;
  for (int n = 0; n < 16; ++n) {
    const int k = forward ? n : 15 - n;
    const uint32_t start = Now(engine);
    if (vertical) {
      for (int x = r.left + k; x <= r.right; x += 16) CopyColumn(window, graphics.compose, x, r);
    } else {
      for (int y = r.top + k; y <= r.bottom; y += 16) CopyRow(window, graphics.compose, y, r);
    }
    ShowFrame(engine, window, r.Area());
    EndStep(engine, start, duration / 16);
  }
}

// Types 6 to 9: a soft edge of 24 lines 23 pixels apart sweeping across the screen.
void SoftWipe(GraphicsContext& engine, int type, int32_t duration, const EffectRect& r) {
  GraphicsState& graphics = engine.graphics;
  Surface& window = graphics.effectWork;
  CopyRect(window, graphics.display, r.left, r.top, r.right, r.bottom);
  const bool vertical = type == 6 || type == 7;  // columns move horizontally
  const int last = vertical ? 1169 : 1009;
  const int32_t slot = vertical ? duration / 48 : duration / 42;
  const bool forward = type == 6 || type == 8;
  for (int p = forward ? 0 : last; forward ? p <= last : p >= 0; p += forward ? 24 : -24) {
    const uint32_t start = Now(engine);
    for (int i = 0; i < 24; ++i) {
      const int line = p - 23 * i;
      if (vertical) {
        if (line >= r.left && line <= r.right) CopyColumn(window, graphics.compose, line, r);
      } else {
        if (line >= r.top && line <= r.bottom) CopyRow(window, graphics.compose, line, r);
      }
    }
    ShowFrame(engine, window, r.Area());
    EndStep(engine, start, slot);
  }
}

// Type 10.
void Crossfade(GraphicsContext& engine, int32_t duration, const EffectRect& r) {
  GraphicsState& graphics = engine.graphics;
  Surface& work = graphics.effectWork;
  const Surface& before = graphics.display;
  const Surface& after = graphics.compose;
  std::memcpy(work.pixels, before.pixels, before.imageSize);
  int alpha = 1;
  int parity = 0;
  const bool whole = r.WholeScreen();
  const size_t pairsPerRow = static_cast<size_t>(3 * r.Width() / 2);
  for (;;) {
    const uint32_t start = Now(engine);
    parity ^= 1;
    if (whole) {
      CrossfadeBytes(work.pixels, before.pixels, after.pixels, work.imageSize / 2, alpha, parity);
    } else {
      for (int y = r.top; y <= r.bottom; ++y) {
        const size_t offset = static_cast<size_t>(kScreenHeight - 1 - y) * kRowBytes + r.left * 3;
        CrossfadeBytes(work.pixels + offset, before.pixels + offset, after.pixels + offset, pairsPerRow, alpha,
                       parity);
      }
    }
    ShowFrame(engine, work, r.Area());
    if (alpha >= 255) return;
    engine.PumpOneMessage();
    const uint32_t elapsed = Elapsed(engine, start);
    int64_t step = duration > 0 ? int64_t{elapsed} * 256 / duration : 255;
    if (step == 0) {
      SleepUntil(engine, start, duration / 256);
      step = 1;
    }
    alpha = static_cast<int>(std::min<int64_t>(alpha + step, 255));
  }
}

// Types 11 to 14: the whole window scrolls and the new picture enters strip by strip.
void Scroll(GraphicsContext& engine, int type, int32_t duration) {
  GraphicsState& graphics = engine.graphics;
  Surface& window = graphics.effectWork;
  const Surface& compose = graphics.compose;
  std::memcpy(window.pixels, graphics.display.pixels, window.imageSize);
  for (int k = 0; k < 80; ++k) {
    const uint32_t start = Now(engine);
    switch (type) {
      case 11:  // from the left: scroll right 8, strip x = 632 - 8k to x = 0
        for (int y = 0; y < kScreenHeight; ++y) {
          uint8_t* row = window.Row(y);
          std::memmove(row + 8 * 3, row, (kScreenWidth - 8) * 3);
          std::memcpy(row, compose.Row(y) + (632 - 8 * k) * 3, 8 * 3);
        }
        break;
      case 12:  // from the right: scroll left 8, strip x = 8k to x = 632
        for (int y = 0; y < kScreenHeight; ++y) {
          uint8_t* row = window.Row(y);
          std::memmove(row, row + 8 * 3, (kScreenWidth - 8) * 3);
          std::memcpy(row + 632 * 3, compose.Row(y) + 8 * k * 3, 8 * 3);
        }
        break;
      case 13:  // from the top: scroll down 6, strip y = 474 - 6k to y = 0
        for (int y = kScreenHeight - 1; y >= 6; --y) std::memcpy(window.Row(y), window.Row(y - 6), kRowBytes);
        for (int i = 0; i < 6; ++i) std::memcpy(window.Row(i), compose.Row(474 - 6 * k + i), kRowBytes);
        break;
      default:  // 14, from the bottom: scroll up 6, strip y = 6k to y = 474
        for (int y = 0; y < kScreenHeight - 6; ++y) std::memcpy(window.Row(y), window.Row(y + 6), kRowBytes);
        for (int i = 0; i < 6; ++i) std::memcpy(window.Row(474 + i), compose.Row(6 * k + i), kRowBytes);
        break;
    }
    ShowFrame(engine, window, ScreenArea{0, 0, kScreenWidth, kScreenHeight});
    EndStep(engine, start, duration / 80);
  }
}

// Mask effects, step 1: the mask picture tiled over the effect work surface, then its blue byte
// spread over the three bytes of each pixel into `maskBytes` (same layout as a screen surface).
void PrepareMask(GraphicsContext& engine, std::string_view descriptor) {
  GraphicsState& graphics = engine.graphics;
  Surface& work = graphics.effectWork;
  {
    PictureLayer mask;
    LoadPicture(engine, mask, descriptor);
    const int w = mask.DisplayedWidth();
    const int h = mask.DisplayedHeight();
    if (w <= 0 || h <= 0 || mask.Empty()) {
      FillSurface(work, 0, 0, kScreenWidth, kScreenHeight, 0);
    } else {
      for (int y = 0; y < kScreenHeight; y += h)
        for (int x = 0; x < kScreenWidth; x += w) CopySurfaceRect(work, x, y, w, h, mask.surface, 0, 0);
    }
  }
  uint8_t* bytes = graphics.maskBytes.data();
  const uint8_t* pixel = work.pixels;
  for (size_t i = 0; i < static_cast<size_t>(kScreenWidth) * kScreenHeight; ++i, pixel += 3, bytes += 3)
    bytes[0] = bytes[1] = bytes[2] = pixel[0];
}

// Types 15 and 18 run the same frame loop with their own kernel and threshold range.
template <typename Frame>
void ThresholdLoop(GraphicsContext& engine, int32_t duration, int units, int last, const EffectRect& r, Frame frame) {
  const int32_t slot = std::max(duration / units, 1);
  int threshold = 1;
  for (;;) {
    const uint32_t start = Now(engine);
    if (r.WholeScreen()) {
      frame(size_t{0}, static_cast<size_t>(kRowBytes) * kScreenHeight, threshold);
    } else {
      for (int y = r.top; y <= r.bottom; ++y)
        frame(static_cast<size_t>(kScreenHeight - 1 - y) * kRowBytes + r.left * 3, static_cast<size_t>(r.Width()) * 3,
              threshold);
    }
    ShowFrame(engine, engine.graphics.display, r.Area());
    engine.PumpOneMessage();
    const uint32_t elapsed = Elapsed(engine, start);
    int64_t step = elapsed / slot;
    if (step == 0) {
      SleepUntil(engine, start, duration / units);
      step = 1;
    }
    threshold = static_cast<int>(std::min<int64_t>(threshold + step, last + 1));
    if (threshold > last) return;
  }
}

// Type 15.
void MaskWipe(GraphicsContext& engine, int32_t duration, std::string_view mask, const EffectRect& r) {
  PrepareMask(engine, mask);
  GraphicsState& graphics = engine.graphics;
  uint8_t* display = graphics.display.pixels;
  const uint8_t* compose = graphics.compose.pixels;
  const uint8_t* maskBytes = graphics.maskBytes.data();
  ThresholdLoop(engine, duration, 256, 254, r, [&](size_t offset, size_t count, int threshold) {
    MaskWipeBytes(display + offset, compose + offset, maskBytes + offset, count, threshold);
  });
}

// Type 18.
void MaskFade(GraphicsContext& engine, int32_t duration, std::string_view mask, const EffectRect& r) {
  PrepareMask(engine, mask);
  GraphicsState& graphics = engine.graphics;
  std::memcpy(graphics.maskFadeOld.pixels, graphics.display.pixels, graphics.display.imageSize);
  uint8_t* display = graphics.display.pixels;
  const uint8_t* before = graphics.maskFadeOld.pixels;
  const uint8_t* compose = graphics.compose.pixels;
  const uint8_t* maskBytes = graphics.maskBytes.data();
  ThresholdLoop(engine, duration, 512, 511, r, [&](size_t offset, size_t count, int threshold) {
    MaskFadeBytes(display + offset, before + offset, compose + offset, maskBytes + offset, count, threshold);
  });
}

// Fills every B x B block of the display surface (blocks from the bottom-left corner) with the
// colour of the source's pixel at the block's bottom-left corner.
void MosaicStep(Surface& display, const Surface& source, int block) {
  for (int blockRow = 0; blockRow < kScreenHeight; blockRow += block) {  // memory rows, from the bottom
    const uint8_t* sampleRow = source.pixels + static_cast<size_t>(blockRow) * source.stride;
    const int rows = std::min(block, kScreenHeight - blockRow);
    uint8_t* firstRow = display.pixels + static_cast<size_t>(blockRow) * display.stride;
    for (int blockColumn = 0; blockColumn < kScreenWidth; blockColumn += block) {
      const uint8_t* sample = sampleRow + blockColumn * 3;
      const uint8_t blue = sample[0], green = sample[1], red = sample[2];
      const int columns = std::min(block, kScreenWidth - blockColumn);
      uint8_t* p = firstRow + blockColumn * 3;
      for (int i = 0; i < columns; ++i) {
        p[3 * i] = blue;
        p[3 * i + 1] = green;
        p[3 * i + 2] = red;
      }
    }
    for (int i = 1; i < rows; ++i)
      std::memcpy(firstRow + static_cast<size_t>(i) * display.stride, firstRow, kRowBytes);
  }
}

// Type 16 (out: the old picture, sampled from a copy) and 17 (in: the new picture).
void Mosaic(GraphicsContext& engine, bool out, int32_t duration) {
  GraphicsState& graphics = engine.graphics;
  const Surface* source = &graphics.compose;
  if (out) {
    std::memcpy(graphics.effectWork.pixels, graphics.display.pixels, graphics.display.imageSize);
    source = &graphics.effectWork;
  }
  static constexpr int kBlocks[6] = {5, 10, 20, 40, 80, 160};
  for (int n = 0; n < 6; ++n) {
    const uint32_t start = Now(engine);
    MosaicStep(graphics.display, *source, kBlocks[out ? n : 5 - n]);
    ShowFrame(engine, graphics.display, ScreenArea{0, 0, kScreenWidth, kScreenHeight});
    EndStep(engine, start, duration / 10);
  }
}

EffectRect TakeRect(GraphicsState& graphics, const DirtyRect* rect) {
  EffectRect r;
  if (rect) {
    r.left = rect->left;
    r.top = rect->top;
    r.right = rect->right;
    r.bottom = rect->bottom;
  }
  graphics.dirty.Clear();
  // Width and height limited to the screen, and the rectangle kept on it.
  r.left = std::clamp(r.left, 0, kScreenWidth - 1);
  r.top = std::clamp(r.top, 0, kScreenHeight - 1);
  r.right = std::min(r.right, kScreenWidth - 1);
  r.bottom = std::min(r.bottom, kScreenHeight - 1);
  return r;
}

}  // namespace

void ResetEffectSlots(GraphicsState& graphics) {
  for (EffectSlot& slot : graphics.effectSlots) slot = EffectSlot{};
  graphics.effectSlots[0].type = 0;
  graphics.effectSlots[1].type = 1;
}

void ShowWithEffect(GraphicsContext& engine, int32_t type, int32_t duration, std::string_view mask, const DirtyRect* rect) {
  if (type == -1) RaiseError("エラー", "未定義のエフェクトを使いました");
  if (type == 0) return;
  GraphicsState& graphics = engine.graphics;
  const EffectRect r = TakeRect(graphics, rect);
  framesShown = 0;
  const uint32_t started = Now(engine);
  if (type < 0 || type > kMaxEffectType)
    RaiseError("エラー", "不正なエフェクト番号です。EFFECT命令をチェックしてください。");
  const bool empty = r.right < r.left || r.bottom < r.top;
  // Held Ctrl skips: the new picture at once, no steps and no blank after.
  if (engine.input.skipHeld) {
    if (type == 16) graphics.dirty.SetWholeScreen();
    else if (!empty) ShowComposedRect(engine, r.left, r.top, r.right, r.bottom);
    return;
  }
  switch (type) {
    case 1:
      break;
    case 2:
    case 3:
    case 4:
    case 5:
      if (!empty) Stripes(engine, type, duration, r);
      break;
    case 6:
    case 7:
    case 8:
    case 9:
      if (!empty) SoftWipe(engine, type, duration, r);
      break;
    case 10:
      if (!empty) Crossfade(engine, duration, r);
      break;
    case 11:
    case 12:
    case 13:
    case 14:
      Scroll(engine, type, duration);
      break;
    case 15:
      if (!empty) MaskWipe(engine, duration, mask, r);
      break;
    case 16:
      Mosaic(engine, true, duration);
      Sleep(engine, graphics.effectBlank);
      graphics.dirty.SetWholeScreen();
      return;
    case 17:
      Mosaic(engine, false, duration);
      break;
    case 18:
      if (!empty) MaskFade(engine, duration, mask, r);
      break;
  }
  // Final display.
  if (!empty) ShowComposedRect(engine, r.left, r.top, r.right, r.bottom);
  static const bool reportStats = getenv("VELMIO_EFFECT_STATS") != nullptr;
  if (reportStats)
    Report("effect " + std::to_string(type) + ": " + std::to_string(framesShown) + " frames in " +
           std::to_string(Now(engine) - started) + " ms");
  if (type >= 2) Sleep(engine, graphics.effectBlank);
}

void ShowSlot(GraphicsContext& engine, int32_t slot) {
  GraphicsState& graphics = engine.graphics;
  if (slot == 0) return;
  if (slot < 0 || slot >= kEffectSlotCount) RaiseError("エラー", "未定義のエフェクトを使いました");
  const EffectSlot& effect = graphics.effectSlots[slot];
  if (effect.type == -1) RaiseError("エラー", "未定義のエフェクトを使いました");
  const DirtyRect rect = graphics.dirty;
  engine.RecomposeScreen(rect);
  ShowWithEffect(engine, effect.type, effect.duration, effect.mask, &rect);
}

void RunPrint(GraphicsContext& engine) {
  Script& script = engine.script;
  GraphicsState& graphics = engine.graphics;
  const int32_t first = script.ReadNumber();
  engine.EraseTextWindow();
  script.SkipBlanks();
  if (script.Current() == ',') {
    ++script.position;
    const int32_t duration = script.ReadNumber();
    std::string mask;
    script.SkipBlanks();
    if (script.Current() == ',') {
      ++script.position;
      mask = script.ReadString();
    }
    const DirtyRect rect = graphics.dirty;
    engine.RecomposeScreen(rect);
    ShowWithEffect(engine, first, duration, mask, &rect);
    return;
  }
  ShowSlot(engine, first);
}

namespace {

void Effect(GraphicsContext& engine) {
  Script& script = engine.script;
  const int32_t number = script.ReadNumber();
  if (number < 2 || number >= kEffectSlotCount) RaiseError("パラメータエラー", "effect命令の第一パラメータは2～49です。");
  EffectSlot& slot = engine.graphics.effectSlots[number];
  script.ExpectComma();
  slot.type = script.ReadNumber();
  if (slot.type != 1) {
    script.ExpectComma();
    slot.duration = script.ReadNumber();
  }
  if (slot.type == 15 || slot.type == 18) {
    script.ExpectComma();
    slot.mask = script.ReadString();
  }
}

void EffectBlank(GraphicsContext& engine) { engine.graphics.effectBlank = engine.script.ReadNumber(); }

void Print(GraphicsContext& engine) { RunPrint(engine); }

constexpr GraphicsCommand kEffectCommands[] = {
    {"effect", CommandGroup::DefinitionOnly, Effect},
    {"effectblank", CommandGroup::DefinitionOnly, EffectBlank},
    {"print", CommandGroup::RunOnly, Print},
};

}  // namespace

std::span<const GraphicsCommand> EffectCommands() { return kEffectCommands; }

}  // namespace velmio
