#include "persist/state_record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "persist/persist_context.h"

namespace velmio {
namespace {

constexpr size_t kMaxNameLength = 255;  // picture and sound names: 256-byte fields
constexpr size_t kMaxVariableLength = 4095;
constexpr size_t kMaxHistoryLength = History::kCapacity - 1;

}  // namespace

// Brings the snapshot up to date in place. The buffer only grows when a record is longer than
// any before it, so retaking the snapshot neither allocates nor clears memory. A part is kept
// only where it was left: when something before it changed size, it is written again.
class SnapshotWriter {
 public:
  static constexpr bool kReading = false;
  explicit SnapshotWriter(Snapshot& snapshot)
      : snapshot_(snapshot), bytes_(snapshot.bytes_), out_(bytes_.data()), end_(out_ + bytes_.size()) {}
  ~SnapshotWriter() { bytes_.resize(At()); }

  void Int(int32_t value) {
    if (end_ - out_ < 4) [[unlikely]] Grow(4);
    const uint32_t bits = static_cast<uint32_t>(value);
    out_[0] = static_cast<uint8_t>(bits);
    out_[1] = static_cast<uint8_t>(bits >> 8);
    out_[2] = static_cast<uint8_t>(bits >> 16);
    out_[3] = static_cast<uint8_t>(bits >> 24);
    out_ += 4;
  }
  void String(const std::string& text, size_t /*limit*/) { Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }
  // A string that may hold no NUL of its own: what follows one would read as the next field.
  void Bytes(const uint8_t* data, size_t size) {
    size = StoredLength(data, size);
    if (static_cast<size_t>(end_ - out_) <= size) [[unlikely]] Grow(size + 1);
    if (size != 0) std::memcpy(out_, data, size);
    out_[size] = 0;
    out_ += size + 1;
  }

  void History(const History& history) {
    Part(snapshot_.history_, history.Revision(), [&] { Bytes(history.Data(), history.Position()); });
  }
  template <typename Write>
  void Pictures(const GraphicsState& graphics, Write write) {
    Part(snapshot_.pictures_, graphics.PictureRevision(), write);
  }
  void LocalVariables(const VariableStore& variables);

 private:
  static size_t StoredLength(const uint8_t* data, size_t size) {
    const void* nul = size != 0 ? std::memchr(data, 0, size) : nullptr;
    return nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
  }
  size_t At() const { return static_cast<size_t>(out_ - bytes_.data()); }
  void Seek(size_t offset) { out_ = bytes_.data() + offset; }
  template <typename Write>
  void Part(KeptPart& kept, uint64_t revision, Write write) {
    if (kept.size != 0 && kept.revision == revision && kept.offset == At()) {
      out_ += kept.size;
      return;
    }
    kept.offset = At();
    write();
    kept.size = At() - kept.offset;
    kept.revision = revision;
  }
  void Variable(const VariableStore& variables, int variable) {
    Int(variables.Number(variable));
    String(variables.String(variable), kMaxVariableLength);
  }
  void VariablesFrom(const VariableStore& variables, int first);
  [[gnu::noinline]] void Grow(size_t size) {
    const size_t at = At();
    bytes_.resize(std::max(bytes_.size() * 2, at + size));
    out_ = bytes_.data() + at;
    end_ = bytes_.data() + bytes_.size();
  }

  Snapshot& snapshot_;
  std::vector<uint8_t>& bytes_;
  uint8_t* out_;
  uint8_t* end_;
};

// A written variable whose record keeps its size is patched where it lies; one that changes size
// moves every record after it, so those are written again.
void SnapshotWriter::LocalVariables(const VariableStore& variables) {
  std::array<uint32_t, kLocalVariableCount + 1>& starts = snapshot_.variableStarts_;
  if (!snapshot_.variablesKept_ || starts[0] != At()) {
    starts[0] = static_cast<uint32_t>(At());
    VariablesFrom(variables, 0);
  } else {
    const LocalVariableMarks& marks = variables.WrittenLocals();
    bool rewritten = false;
    for (size_t word = 0; word < marks.size() && !rewritten; ++word) {
      for (uint64_t bits = marks[word]; bits != 0 && !rewritten; bits &= bits - 1) {
        const int variable = static_cast<int>(word * 64) + std::countr_zero(bits);
        const std::string& text = variables.String(variable);
        const size_t size = 4 + StoredLength(reinterpret_cast<const uint8_t*>(text.data()), text.size()) + 1;
        if (size == starts[variable + 1] - starts[variable]) {
          Seek(starts[variable]);
          Variable(variables, variable);
        } else {
          VariablesFrom(variables, variable);
          rewritten = true;
        }
      }
    }
    Seek(starts[kLocalVariableCount]);
  }
  snapshot_.variablesKept_ = true;
}

void SnapshotWriter::VariablesFrom(const VariableStore& variables, int first) {
  Seek(snapshot_.variableStarts_[first]);
  for (int variable = first; variable < kLocalVariableCount; ++variable) {
    snapshot_.variableStarts_[variable] = static_cast<uint32_t>(At());
    Variable(variables, variable);
  }
  snapshot_.variableStarts_[kLocalVariableCount] = static_cast<uint32_t>(At());
}

namespace {

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
    io.History(history);
    io.Int(position);
    io.Int(pageCount);
  }
}

// The background, the standing pictures and the sprites.
template <typename Io>
void WalkPictures(Io& io, GraphicsState& graphics) {
  if constexpr (Io::kReading) {
    std::string name;
    io.String(name, kMaxNameLength);
    graphics.SetBackgroundName(name);
    std::array<std::string, kStandingCount> names;
    std::array<int32_t, kStandingCount> xs{};
    std::array<int32_t, kStandingCount> ys{};
    for (std::string& standing : names) io.String(standing, kMaxNameLength);
    for (int32_t& x : xs) io.Int(x);
    for (int32_t& y : ys) io.Int(y);
    for (int index = 0; index < kStandingCount; ++index) graphics.PlaceStanding(index, names[index], xs[index], ys[index]);
    for (int number = 0; number < kSpriteCount; ++number) {
      int32_t x = 0, y = 0, visible = 0;
      io.String(name, kMaxNameLength);
      io.Int(x);
      io.Int(y);
      io.Int(visible);
      graphics.SetSprite(number, name, x, y, visible);
    }
  } else {
    // Pictures change a few times a scene, the record is retaken on every statement of an empty
    // page: their part stays as it is while their revision stands.
    io.Pictures(graphics, [&] {
      io.String(graphics.BackgroundName(), kMaxNameLength);
      for (const StandingPicture& standing : graphics.standing) io.String(standing.Name(), kMaxNameLength);
      for (const StandingPicture& standing : graphics.standing) io.Int(standing.X());
      for (const StandingPicture& standing : graphics.standing) io.Int(standing.Y());
      for (const Sprite& sprite : graphics.sprites) {
        io.String(sprite.Name(), kMaxNameLength);
        io.Int(sprite.X());
        io.Int(sprite.Y());
        io.Int(sprite.Visible());
      }
    });
  }
}

template <typename Io>
void WalkLocalVariables(Io& io, VariableStore& variables) {
  if constexpr (Io::kReading) {
    std::string text;
    for (int variable = 0; variable < kLocalVariableCount; ++variable) {
      int32_t number = 0;
      io.Int(number);
      io.String(text, kMaxVariableLength);
      variables.SetNumber(variable, number);
      variables.SetString(variable, text);
    }
  } else {
    io.LocalVariables(variables);
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

  WalkPictures(io, graphics);
  WalkLocalVariables(io, script.variables);

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
  {
    SnapshotWriter writer(engine.persist.snapshot);
    WalkStateRecord(writer, engine);
  }
  engine.script.variables.ForgetWrittenLocals();
}

std::vector<uint8_t> WholeStateRecord(PersistContext& engine) {
  Snapshot fresh;
  {
    SnapshotWriter writer(fresh);
    WalkStateRecord(writer, engine);
  }
  return fresh.Bytes();
}

void ReadStateRecord(PersistContext& engine, std::span<const uint8_t> bytes) {
  RecordReader reader(bytes);
  WalkStateRecord(reader, engine);
  KeepInsideBounds(engine);
}

}  // namespace velmio
