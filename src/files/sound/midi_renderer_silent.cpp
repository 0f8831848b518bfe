// MIDI for a build without FluidSynth (the browser's): songs keep their time, so a scenario
// waiting for one to end goes on when it would have, but nothing sounds.
#include <algorithm>
#include <map>

#include "files/sound/decoded_sound.h"
#include "files/sound/midi_file.h"
#include "files/sound/midi_renderer.h"

namespace velmio {

struct MidiRenderer::Library {
  uint64_t songFrames = 0;
  uint64_t playedFrames = 0;
};

namespace {

class Reader {
 public:
  Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool AtEnd() const { return offset_ >= bytes_.size(); }
  uint8_t Byte() { return AtEnd() ? 0 : bytes_[offset_++]; }
  uint32_t Number(int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | Byte();
    return value;
  }
  uint32_t VariableLength() {
    uint32_t value = 0;
    for (int i = 0; i < 4 && !AtEnd(); ++i) {
      uint8_t byte = Byte();
      value = value << 7 | (byte & 0x7F);
      if (!(byte & 0x80)) break;
    }
    return value;
  }
  void Skip(size_t count) { offset_ = std::min(bytes_.size(), offset_ + count); }
  std::span<const uint8_t> Take(size_t count) {
    size_t start = offset_;
    Skip(count);
    return bytes_.subspan(start, offset_ - start);
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
};

// How long the song lasts at 44.1 kHz: its last event through the tempo changes of any track.
uint64_t SongFrames(std::span<const uint8_t> smf) {
  Reader file(smf);
  file.Skip(4);
  uint32_t headerLength = file.Number(4);
  Reader header(file.Take(headerLength));
  header.Skip(2);
  uint32_t tracks = header.Number(2);
  uint32_t division = header.Number(2);
  std::map<uint64_t, uint32_t> tempos{{0, 500000}};  // tick -> microseconds per quarter note
  uint64_t lastTick = 0;
  for (uint32_t n = 0; n < tracks && !file.AtEnd(); ++n) {
    bool isTrack = file.Number(4) == 0x4D54726B;  // "MTrk"
    Reader track(file.Take(file.Number(4)));
    if (!isTrack) continue;
    uint64_t tick = 0;
    uint8_t status = 0;
    while (!track.AtEnd()) {
      tick += track.VariableLength();
      uint8_t first = track.Byte();
      if (first == 0xFF) {
        uint8_t type = track.Byte();
        Reader data(track.Take(track.VariableLength()));
        if (type == 0x51) tempos[tick] = data.Number(3);
        if (type == 0x2F) break;
      } else if (first == 0xF0 || first == 0xF7) {
        track.Skip(track.VariableLength());
      } else {
        // Without a status byte (running status) the byte read was the first data byte.
        if (first & 0x80) status = first;
        int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        track.Skip(static_cast<size_t>(dataBytes - ((first & 0x80) ? 0 : 1)));
      }
      lastTick = std::max(lastTick, tick);
    }
  }
  double seconds = 0;
  if (division & 0x8000) {
    int framesPerSecond = -static_cast<int8_t>(division >> 8);
    double ticksPerSecond = (framesPerSecond == 29 ? 29.97 : framesPerSecond) * (division & 0xFF);
    seconds = ticksPerSecond > 0 ? static_cast<double>(lastTick) / ticksPerSecond : 0;
  } else if (division > 0) {
    for (auto at = tempos.begin(); at != tempos.end() && at->first < lastTick; ++at) {
      auto next = std::next(at);
      uint64_t until = next == tempos.end() ? lastTick : std::min(next->first, lastTick);
      seconds += static_cast<double>(until - at->first) * at->second / 1e6 / division;
    }
  }
  return static_cast<uint64_t>(seconds * kPcmRate);
}

}  // namespace

MidiRenderer::MidiRenderer() : library_(new Library) {
  warning_ = "MIDI music is silent in this build (it has no synthesiser)";
}

MidiRenderer::~MidiRenderer() { delete library_; }

void MidiRenderer::ReleasePlayer() { *library_ = {}; }

std::string MidiRenderer::Start(std::span<const uint8_t> midiFile, std::string_view name, PlayRepeat repeat,
                                SongEnd end) {
  Stop();
  std::span<const uint8_t> data = FindMidiData(midiFile);
  if (data.empty()) return std::string(name) + ": not a standard MIDI file";
  library_->songFrames = SongFrames(data);
  Started(repeat, end);
  return {};
}

size_t MidiRenderer::Render(int16_t* out, size_t frames) {
  if (ended_) return 0;
  if (repeat_ == PlayRepeat::Once && library_->playedFrames >= library_->songFrames) {
    ended_ = true;
    return 0;
  }
  std::fill_n(out, frames * kPcmChannels, int16_t{0});
  library_->playedFrames += frames;
  return frames;
}

}  // namespace velmio
