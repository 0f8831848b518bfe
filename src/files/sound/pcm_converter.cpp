#include "files/sound/pcm_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cstring>

#include "files/sound/decoded_sound.h"

namespace velmio {

namespace {

AVSampleFormat ToAv(SampleType type, SampleLayout layout) {
  bool planar = layout == SampleLayout::Planar;
  switch (type) {
    case SampleType::UnsignedByte: return planar ? AV_SAMPLE_FMT_U8P : AV_SAMPLE_FMT_U8;
    case SampleType::Short: return planar ? AV_SAMPLE_FMT_S16P : AV_SAMPLE_FMT_S16;
    case SampleType::Int: return planar ? AV_SAMPLE_FMT_S32P : AV_SAMPLE_FMT_S32;
    case SampleType::Float: return planar ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_FLT;
    case SampleType::Double: return planar ? AV_SAMPLE_FMT_DBLP : AV_SAMPLE_FMT_DBL;
  }
  return AV_SAMPLE_FMT_NONE;
}

}  // namespace

PcmConverter::~PcmConverter() { Release(); }

void PcmConverter::Release() {
  swr_free(&context_);
  configured_ = false;
}

std::string PcmConverter::Configure(const PcmFormat& format) {
  Release();
  if (std::string refusal = Refusal(format); !refusal.empty()) return refusal;
  format_ = format;
  bool native = IsMixerFormat(format);
  if (native) {
    configured_ = true;
    return {};
  }
  AVChannelLayout input;
  av_channel_layout_default(&input, format.channels);
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  int result = swr_alloc_set_opts2(&context_, &stereo, AV_SAMPLE_FMT_S16, kPcmRate, &input,
                                   ToAv(format.type, format.layout), format.rate, 0, nullptr);
  av_channel_layout_uninit(&input);
  if (result >= 0 && format.channels == 1) {
    // libswresample would lower a centre channel by 3 dB on each side.
    const double both[2] = {1.0, 1.0};
    result = swr_set_matrix(context_, both, 1);
  }
  if (result >= 0) result = swr_init(context_);
  if (result < 0) {
    swr_free(&context_);
    return "the sample format cannot be converted";
  }
  configured_ = true;
  return {};
}

size_t PcmConverter::OutputFrames(size_t frames) const {
  if (!context_) return frames;
  int64_t delay = swr_get_delay(context_, format_.rate);
  return static_cast<size_t>((static_cast<int64_t>(frames) + delay) * kPcmRate / format_.rate + 2);
}

void PcmConverter::Convert(const uint8_t* const* planes, size_t frames, std::vector<int16_t>& out) {
  if (!configured_ || frames == 0) return;
  size_t start = out.size();
  if (!context_) {
    out.resize(start + frames * kPcmChannels);
    std::memcpy(out.data() + start, planes[0], frames * kPcmChannels * sizeof(int16_t));
    return;
  }
  // libswresample takes counts as int: long inputs go in slices.
  constexpr size_t kSlice = 1 << 20;
  size_t bytesPerSample = static_cast<size_t>(av_get_bytes_per_sample(ToAv(format_.type, format_.layout)));
  size_t step = format_.layout == SampleLayout::Planar ? bytesPerSample : bytesPerSample * format_.channels;
  for (size_t done = 0; done < frames;) {
    size_t count = std::min(kSlice, frames - done);
    const uint8_t* slice[kMaxChannels];
    int planeCount = format_.layout == SampleLayout::Planar ? format_.channels : 1;
    for (int i = 0; i < planeCount; ++i) slice[i] = planes[i] + done * step;
    size_t room = OutputFrames(count);
    size_t before = out.size();
    out.resize(before + room * kPcmChannels);
    uint8_t* target = reinterpret_cast<uint8_t*>(out.data() + before);
    int made = swr_convert(context_, &target, static_cast<int>(room), slice, static_cast<int>(count));
    out.resize(before + static_cast<size_t>(made > 0 ? made : 0) * kPcmChannels);
    done += count;
  }
}

void PcmConverter::Flush(std::vector<int16_t>& out) {
  if (!context_) return;
  size_t room = OutputFrames(0) + 64;
  size_t before = out.size();
  out.resize(before + room * kPcmChannels);
  uint8_t* target = reinterpret_cast<uint8_t*>(out.data() + before);
  int made = swr_convert(context_, &target, static_cast<int>(room), nullptr, 0);
  out.resize(before + static_cast<size_t>(made > 0 ? made : 0) * kPcmChannels);
}

void PcmConverter::Reset() {
  if (context_) Configure(PcmFormat(format_));
}

}  // namespace velmio
