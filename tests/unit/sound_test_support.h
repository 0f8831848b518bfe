#pragma once
// Files and measurements shared by the sound tests.
#include <algorithm>
#include <cstring>
#include <span>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/sound/mp3_decoder.h"

namespace velmio::testing {

// The repository's tests/ folder: named by ctest, else found beside this file.
inline std::filesystem::path TestsFolder() {
  const char* data = std::getenv("VELMIO_TEST_DATA");
  return data != nullptr ? std::filesystem::path(data) : std::filesystem::path(__FILE__).parent_path().parent_path();
}

inline std::string MediaPath(const std::string& name) { return (TestsFolder() / "media" / name).string(); }

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Frequency of a tone in interleaved stereo at 44.1 kHz, from the rising zero crossings of
// channel `channel`, skipping the first and last 10% where encoders fade in and pad.
inline double ToneFrequency(const std::vector<int16_t>& samples, int channel = 0) {
  size_t frames = samples.size() / 2;
  size_t first = frames / 10;
  size_t last = frames - frames / 10;
  int crossings = 0;
  size_t firstCrossing = 0;
  size_t lastCrossing = 0;
  for (size_t i = first + 1; i < last; ++i) {
    if (samples[2 * (i - 1) + channel] < 0 && samples[2 * i + channel] >= 0) {
      if (crossings == 0) firstCrossing = i;
      lastCrossing = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * 44100.0 / static_cast<double>(lastCrossing - firstCrossing);
}

// A RIFF WAVE image: a fmt chunk (PCM `tag` 1, float 3) and the data as given, after `extra` chunks.
inline std::vector<uint8_t> WaveFile(uint16_t tag, int channels, int rate, int bits, const std::vector<uint8_t>& data,
                                     const std::vector<uint8_t>& extra = {}) {
  std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(static_cast<uint32_t>(4 + extra.size() + 24 + 8 + data.size()), 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E'});
  out.insert(out.end(), extra.begin(), extra.end());
  out.insert(out.end(), {'f', 'm', 't', ' ', 16, 0, 0, 0});
  put(tag, 2), put(channels, 2), put(rate, 4), put(rate * channels * bits / 8, 4), put(channels * bits / 8, 2);
  put(bits, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put(static_cast<uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline int Peak(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t sample : samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  return peak;
}

struct Mp3Decoding {
  std::vector<int16_t> sound;
  size_t blocks = 0;
  bool blocksWellFormed = true;  // every block within 8192 bytes, whole frames, never empty
};

// Drives the decoder the way the MP3 stream does: the file in chunks of at most `chunkBytes`, each
// chunk followed by calls with no input until the decoder asks for more.
inline Mp3Decoding DecodeMp3InChunks(Mp3Decoder& decoder, std::span<const uint8_t> file,
                                      size_t chunkBytes = Mp3Decoder::kInputChunkBytes) {
  Mp3Decoding result;
  decoder.InitMp3();
  size_t position = std::min(file.size(), chunkBytes);
  std::vector<uint8_t> chunk(file.begin(), file.begin() + static_cast<ptrdiff_t>(position));
  WaveFormatRecord format;
  decoder.GetWaveFormat(format, chunk.data());
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  while (!chunk.empty()) {
    size_t produced = 0;
    Mp3DecodeResult r = decoder.DecodeMp3(chunk.data(), chunk.size(), block.data(), block.size(), &produced);
    for (int guard = 0; r == Mp3DecodeResult::BlockReady; ++guard) {
      result.blocksWellFormed &= produced > 0 && produced <= block.size() && produced % 4 == 0 && guard < 1000;
      size_t start = result.sound.size();
      result.sound.resize(start + produced / 2);
      std::memcpy(result.sound.data() + start, block.data(), produced);
      ++result.blocks;
      if (guard >= 1000) break;
      r = decoder.DecodeMp3(nullptr, 0, block.data(), block.size(), &produced);
    }
    size_t next = std::min(file.size() - position, chunkBytes);
    chunk.assign(file.begin() + static_cast<ptrdiff_t>(position), file.begin() + static_cast<ptrdiff_t>(position + next));
    position += next;
  }
  decoder.ExitMp3();
  return result;
}

}  // namespace velmio::testing
