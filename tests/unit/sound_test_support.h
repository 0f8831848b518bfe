#pragma once
// Files and measurements shared by the sound tests.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

inline int Peak(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t sample : samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  return peak;
}

}  // namespace velmio::testing
