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

// Writes over the buffer in place: it only grows when a record is longer than any before it,
// so retaking the snapshot neither allocates nor clears memory.
class RecordWriter {
 public:
  static constexpr bool kReading = false;
  explicit RecordWriter(std::vector<uint8_t>& bytes) : bytes_(bytes), out_(bytes.data()), end_(out_ + bytes.size()) {}
  ~RecordWriter() { bytes_.resize(At()); }

  void Int(int32_t& value) {
    if (end_ - out_ < 4) [[unlikely]] Grow(4);
    const uint32_t bits = static_cast<uint32_t>(value);
    out_[0] = static_cast<uint8_t>(bits);
    out_[1] = static_cast<uint8_t>(bits >> 8);
    out_[2] = static_cast<uint8_t>(bits >> 16);
    out_[3] = static_cast<uint8_t>(bits >> 24);
    out_ += 4;
  }
  void String(std::string& text, size_t /*limit*/) { Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }
  // A string that may hold no NUL of its own: what follows one would read as the next field.
  // Returns the bytes written, its NUL included.
  size_t Bytes(const uint8_t* data, size_t size) {
    if (size != 0) {
      const void* nul = std::memchr(data, 0, size);
      if (nul != nullptr) size = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data);
    }
    if (static_cast<size_t>(end_ - out_) <= size) [[unlikely]] Grow(size + 1);
    if (size != 0) std::memcpy(out_, data, size);
    out_[size] = 0;
    out_ += size + 1;
    return size + 1;
  }
  // Steps over `size` bytes that the buffer already holds from the last record.
  void Keep(size_t size) { out_ += size; }
  size_t At() const { return static_cast<size_t>(out_ - bytes_.data()); }

 private:
  [[gnu::noinline]] void Grow(size_t size) {
    const size_t at = At();
    bytes_.resize(std::max(bytes_.size() * 2, at + size));
    out_ = bytes_.data() + at;
    end_ = bytes_.data() + bytes_.size();
  }

  std::vector<uint8_t>& bytes_;
  uint8_t* out_;
  uint8_t* end_;
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

// The History is the longest field and changes only when text is typed, so the text of an
// unchanged History stays where the last snapshot put it.
void WriteHistory(RecordWriter& writer, History& history, HistoryInSnapshot& kept) {
  if (kept.revision == history.Revision() && writer.At() == kept.offset) {
    writer.Keep(kept.size);
  } else {
    kept.offset = writer.At();
    kept.size = writer.Bytes(history.Data(), history.Position());
    kept.revision = history.Revision();
  }
}

template <typename Io>
void WalkHistory(Io& io, History& history, HistoryInSnapshot& kept) {
  int32_t position = static_cast<int32_t>(history.Position());
  int32_t pageCount = history.PageCount();
  if constexpr (Io::kReading) {
    std::string text;
    io.String(text, kMaxHistoryLength);
    io.Int(position);
    io.Int(pageCount);
    history.Restore(text, position, pageCount);
  } else {
    WriteHistory(io, history, kept);
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
  WalkHistory(io, text.history, engine.persist.historyInSnapshot);
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
  std::vector<uint8_t>& snapshot = engine.persist.snapshot;
  HistoryInSnapshot& kept = engine.persist.historyInSnapshot;
  // The History text kept from the last snapshot must still be there (a test or a caller may
  // have replaced the bytes).
  if (kept.size == 0 || snapshot.size() < kept.offset + kept.size || snapshot[kept.offset + kept.size - 1] != 0)
    kept = HistoryInSnapshot{};
  RecordWriter writer(snapshot);
  WalkStateRecord(writer, engine);
}

void ReadStateRecord(PersistContext& engine, std::span<const uint8_t> bytes) {
  RecordReader reader(bytes);
  WalkStateRecord(reader, engine);
  KeepInsideBounds(engine);
}

}  // namespace velmio
