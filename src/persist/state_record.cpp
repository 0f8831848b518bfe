#include "persist/state_record.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "persist/persist_context.h"

namespace velmio {
namespace {

constexpr size_t kMaxNameLength = 255;  // picture and sound names: 256-byte fields
constexpr size_t kMaxVariableLength = 4095;
constexpr size_t kMaxHistoryLength = History::kCapacity - 1;

class RecordWriter {
 public:
  static constexpr bool kReading = false;
  explicit RecordWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) { bytes_.clear(); }

  void Int(int32_t& value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    const uint8_t little[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                               static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    bytes_.insert(bytes_.end(), little, little + 4);
  }
  void String(std::string& text, size_t /*limit*/) { Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }
  // A string that may hold no NUL of its own: what follows one would read as the next field.
  void Bytes(const uint8_t* data, size_t size) {
    const void* nul = std::memchr(data, 0, size);
    if (nul != nullptr) size = static_cast<const uint8_t*>(nul) - data;
    bytes_.insert(bytes_.end(), data, data + size);
    bytes_.push_back(0);
  }

 private:
  std::vector<uint8_t>& bytes_;
};

class RecordReader {
 public:
  static constexpr bool kReading = true;
  explicit RecordReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  void Int(int32_t& value) {
    if (bytes_.size() - at_ < 4) {
      at_ = bytes_.size();
      value = 0;
      return;
    }
    const uint8_t* p = bytes_.data() + at_;
    value = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
    at_ += 4;
  }
  void String(std::string& text, size_t limit) {
    std::span<const uint8_t> rest = bytes_.subspan(at_);
    const uint8_t* nul = rest.empty() ? nullptr : static_cast<const uint8_t*>(std::memchr(rest.data(), 0, rest.size()));
    size_t length = nul != nullptr ? static_cast<size_t>(nul - rest.data()) : rest.size();
    text.assign(reinterpret_cast<const char*>(rest.data()), std::min(length, limit));
    at_ += nul != nullptr ? length + 1 : length;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

template <typename Io>
void Byte(Io& io, uint8_t& value) {
  int32_t wide = value;
  io.Int(wide);
  if constexpr (Io::kReading) value = static_cast<uint8_t>(wide);
}

template <typename Io>
void Flag(Io& io, bool& value) {
  int32_t wide = value ? 1 : 0;
  io.Int(wide);
  if constexpr (Io::kReading) value = wide != 0;
}

template <typename Io>
void WalkHistory(Io& io, History& history) {
  int32_t position = static_cast<int32_t>(history.Position());
  int32_t pageCount = history.PageCount();
  if constexpr (Io::kReading) {
    std::string text;
    io.String(text, kMaxHistoryLength);
    io.Int(position);
    io.Int(pageCount);
    history.Restore(text, position, pageCount);
  } else {
    io.Bytes(history.Data(), history.Position());
    io.Int(position);
    io.Int(pageCount);
  }
}

// The fields in file order; players' save files depend on this order never changing.
template <typename Io>
void WalkStateRecord(Io& io, PersistContext& engine) {
  TextState& text = engine.text;
  GraphicsState& graphics = engine.graphics;
  Script& script = engine.script;
  SoundState& sound = engine.sound;

  io.Int(text.bold);
  io.Int(text.shadow);
  WalkHistory(io, text.history);
  io.Int(engine.persist.rightClickEnabled);
  Byte(io, text.textRed);
  Byte(io, text.textBlue);
  Byte(io, text.textGreen);
  io.String(text.cursors[0].name, kMaxNameLength);
  io.String(text.cursors[1].name, kMaxNameLength);
  io.Int(text.windowEffect.type);
  io.Int(text.windowEffect.duration);
  io.String(text.windowEffect.mask, kMaxNameLength);
  io.Int(text.textX);
  io.Int(text.textY);
  io.Int(text.charsPerLine);
  io.Int(text.lineCount);
  io.Int(text.glyphWidth);
  io.Int(text.glyphHeight);
  io.Int(text.pitchX);
  io.Int(text.pitchY);
  io.Int(text.windowColour);
  io.Int(text.charWait);
  io.Int(text.windowRect.left);
  io.Int(text.windowRect.top);
  io.Int(text.windowRect.right);
  io.Int(text.windowRect.bottom);
  io.String(text.windowPictureName, kMaxNameLength);
  Flag(io, text.cursors[0].relative);
  Flag(io, text.cursors[1].relative);
  io.Int(text.cursors[0].offsetX);
  io.Int(text.cursors[1].offsetX);
  io.Int(text.cursors[0].offsetY);
  io.Int(text.cursors[1].offsetY);

  io.String(graphics.backgroundName, kMaxNameLength);
  for (StandingPicture& standing : graphics.standing) io.String(standing.name, kMaxNameLength);
  for (StandingPicture& standing : graphics.standing) io.Int(standing.x);
  for (StandingPicture& standing : graphics.standing) io.Int(standing.y);
  for (Sprite& sprite : graphics.sprites) {
    io.String(sprite.name, kMaxNameLength);
    io.Int(sprite.x);
    io.Int(sprite.y);
    io.Int(sprite.visible);
  }

  for (int variable = 0; variable < kLocalVariableCount; ++variable) {
    io.Int(script.variables.numbers[variable]);
    io.String(script.variables.strings[variable], kMaxVariableLength);
  }
  io.Int(script.position);
  int32_t depth = script.gosubDepth;
  io.Int(depth);
  if constexpr (Io::kReading) script.gosubDepth = std::clamp(depth, 0, kGosubDepth);
  for (int entry = 0; entry < script.gosubDepth; ++entry) io.Int(script.gosubStack[entry]);

  Flag(io, graphics.monochrome);
  Byte(io, graphics.monochromeBlue);
  Byte(io, graphics.monochromeGreen);
  Byte(io, graphics.monochromeRed);
  io.Int(graphics.negativeMode);

  io.String(sound.midiName, kMaxNameLength);
  io.String(sound.waveName, kMaxNameLength);
  io.Int(sound.cdTrack);
  io.Int(sound.midiLoop);
  io.Int(sound.waveLoop);
  io.Int(sound.cdLoop);
  io.Int(sound.mp3Loop);
  if constexpr (Io::kReading) {
    io.String(sound.mp3Name, kMaxNameLength);
  } else {
    std::string none;
    io.String(sound.mp3Loop != 0 ? sound.mp3Name : none, kMaxNameLength);
  }
  io.Int(text.eraseWindowMode);
  io.Int(text.textVisible);
}

// A damaged or hand-edited record must not make the engine read outside the scenario or size
// the text window negatively.
void KeepInsideBounds(PersistContext& engine) {
  Script& script = engine.script;
  script.position = std::clamp(script.position, 0, script.Length());
  for (int entry = 0; entry < script.gosubDepth; ++entry)
    script.gosubStack[entry] = std::clamp(script.gosubStack[entry], 0, script.Length());
  TextState& text = engine.text;
  text.charsPerLine = std::max(text.charsPerLine, 0);
  text.lineCount = std::max(text.lineCount, 0);
}

}  // namespace

void TakeSnapshot(PersistContext& engine) {
  RecordWriter writer(engine.persist.snapshot);
  WalkStateRecord(writer, engine);
}

void ReadStateRecord(PersistContext& engine, std::span<const uint8_t> bytes) {
  RecordReader reader(bytes);
  WalkStateRecord(reader, engine);
  KeepInsideBounds(engine);
}

}  // namespace velmio
