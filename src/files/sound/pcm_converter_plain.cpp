// The converter of the browser build, which has no libswresample: linear interpolation. Sound
// effects and voices are mostly 22 or 44.1 kHz already, where it is inaudible.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "files/sound/decoded_sound.h"
#include "files/sound/pcm_converter.h"

namespace velmio {

struct PcmConverter::Resampler {
  double step = 1;          // input frames per output frame
  double nextOutput = 0;    // when the next output frame falls, in input frames from the start
  uint64_t inputFrames = 0;
  float previous[2] = {0, 0};
};

namespace {

float Sample(const uint8_t* at, SampleType type) {
  switch (type) {
    case SampleType::UnsignedByte: return (static_cast<float>(*at) - 128.0f) / 128.0f;
    case SampleType::Short: { int16_t v; std::memcpy(&v, at, sizeof v); return v / 32768.0f; }
    case SampleType::Int: { int32_t v; std::memcpy(&v, at, sizeof v); return static_cast<float>(v / 2147483648.0); }
    case SampleType::Float: { float v; std::memcpy(&v, at, sizeof v); return v; }
    case SampleType::Double: { double v; std::memcpy(&v, at, sizeof v); return static_cast<float>(v); }
  }
  return 0;
}

size_t SampleBytes(SampleType type) {
  switch (type) {
    case SampleType::UnsignedByte: return 1;
    case SampleType::Short: return 2;
    case SampleType::Int: case SampleType::Float: return 4;
    case SampleType::Double: return 8;
  }
  return 1;
}

int16_t ToShort(float value) {
  return static_cast<int16_t>(std::clamp(std::lround(value * 32768.0f), -32768L, 32767L));
}

}  // namespace

PcmConverter::~PcmConverter() { Release(); }

void PcmConverter::Release() {
  delete resampler_;
  resampler_ = nullptr;
  configured_ = false;
}

std::string PcmConverter::Configure(const PcmFormat& format) {
  Release();
  if (std::string refusal = Refusal(format); !refusal.empty()) return refusal;
  format_ = format;
  bool native = IsMixerFormat(format);
  if (!native) {
    resampler_ = new Resampler;
    resampler_->step = static_cast<double>(format.rate) / kPcmRate;
  }
  configured_ = true;
  return {};
}

size_t PcmConverter::OutputFrames(size_t frames) const {
  if (!resampler_) return frames;
  return static_cast<size_t>(static_cast<double>(frames) / resampler_->step) + 2;
}

void PcmConverter::Convert(const uint8_t* const* planes, size_t frames, std::vector<int16_t>& out) {
  if (!configured_ || frames == 0) return;
  if (!resampler_) {
    size_t start = out.size();
    out.resize(start + frames * kPcmChannels);
    std::memcpy(out.data() + start, planes[0], frames * kPcmChannels * sizeof(int16_t));
    return;
  }
  Resampler& r = *resampler_;
  const int channels = format_.channels;
  const size_t bytes = SampleBytes(format_.type);
  const bool planar = format_.layout == SampleLayout::Planar;
  out.reserve(out.size() + OutputFrames(frames) * kPcmChannels);
  for (size_t frame = 0; frame < frames; ++frame) {
    // Mono to both sides at full level; more channels mixed down, even ones left, odd ones right.
    float sides[2] = {0, 0};
    int counts[2] = {0, 0};
    for (int channel = 0; channel < channels; ++channel) {
      const uint8_t* at = planar ? planes[channel] + frame * bytes : planes[0] + (frame * channels + channel) * bytes;
      float value = Sample(at, format_.type);
      if (channels == 1) {
        sides[0] = sides[1] = value;
        counts[0] = counts[1] = 1;
      } else {
        sides[channel % 2] += value;
        ++counts[channel % 2];
      }
    }
    float current[2] = {sides[0] / counts[0], sides[1] / static_cast<float>(std::max(counts[1], 1))};
    double index = static_cast<double>(r.inputFrames);
    while (r.nextOutput <= index) {
      double t = r.inputFrames == 0 ? 1.0 : r.nextOutput - (index - 1);
      for (int side = 0; side < 2; ++side)
        out.push_back(ToShort(r.previous[side] + (current[side] - r.previous[side]) * static_cast<float>(t)));
      r.nextOutput += r.step;
    }
    r.previous[0] = current[0];
    r.previous[1] = current[1];
    ++r.inputFrames;
  }
}

void PcmConverter::Flush(std::vector<int16_t>& out) {
  if (!resampler_) return;
  Resampler& r = *resampler_;
  while (r.nextOutput < static_cast<double>(r.inputFrames)) {
    out.push_back(ToShort(r.previous[0]));
    out.push_back(ToShort(r.previous[1]));
    r.nextOutput += r.step;
  }
}

void PcmConverter::Reset() {
  if (resampler_) *resampler_ = Resampler{resampler_->step};
}

}  // namespace velmio
