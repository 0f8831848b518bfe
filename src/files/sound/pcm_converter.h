#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/sound/decoded_sound.h"

struct SwrContext;

namespace velmio {

enum class SampleType : uint8_t { UnsignedByte, Short, Int, Float, Double };
enum class SampleLayout : uint8_t { Interleaved, Planar };

struct PcmFormat {
  SampleType type = SampleType::Short;
  SampleLayout layout = SampleLayout::Interleaved;
  int channels = 2;
  int rate = 44100;
};

// Turns PCM of any rate, sample type and channel count (1 to 8) into the 44.1 kHz stereo
// 16-bit the mixer plays, through libswresample. Mono goes to both sides at full level (as a
// mono sound effect is heard on stereo speakers), more channels are mixed down.
class PcmConverter {
 public:
  static constexpr int kMaxChannels = 8;
  static constexpr int kMinRate = 1000;
  static constexpr int kMaxRate = 768000;

  PcmConverter() = default;
  PcmConverter(const PcmConverter&) = delete;
  PcmConverter& operator=(const PcmConverter&) = delete;
  ~PcmConverter();

  // Empty when the format can be converted, else what is wrong with it.
  std::string Configure(const PcmFormat& format);
  // What Configure refuses, the same in every build: empty when the format is playable.
  static std::string Refusal(const PcmFormat& format) {
    if (format.channels < 1 || format.channels > kMaxChannels)
      return std::to_string(format.channels) + " channels cannot be played";
    if (format.rate < kMinRate || format.rate > kMaxRate)
      return "a sample rate of " + std::to_string(format.rate) + " Hz cannot be played";
    return {};
  }
  // The mixer's own format, passed through untouched.
  static bool IsMixerFormat(const PcmFormat& format) {
    return format.type == SampleType::Short && format.rate == kPcmRate && format.channels == kPcmChannels &&
           format.layout == SampleLayout::Interleaved;
  }
  // Appends the converted frames to `out`. `planes` holds one pointer for interleaved samples,
  // one per channel for planar ones.
  void Convert(const uint8_t* const* planes, size_t frames, std::vector<int16_t>& out);
  // Appends the frames the resampler still holds back, at the end of the input.
  void Flush(std::vector<int16_t>& out);
  // Forgets the input seen so far (after a seek).
  void Reset();
  // Output frames for `frames` input frames, rounded up: for reserving.
  size_t OutputFrames(size_t frames) const;

 private:
  void Release();

  PcmFormat format_;
  SwrContext* context_ = nullptr;  // null when the input is already 44.1 kHz stereo 16-bit
  // Instead, in the browser build, which has no libswresample: our own linear resampler.
  struct Resampler;
  Resampler* resampler_ = nullptr;
  bool configured_ = false;
};

}  // namespace velmio
