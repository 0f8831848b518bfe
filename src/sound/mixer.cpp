#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace velmio {

namespace {

constexpr int64_t kFullFade = int64_t{1} << 32;

size_t Index(VoiceKind kind) { return static_cast<size_t>(kind); }

}  // namespace

void Mixer::WaitForCallbacks() { std::lock_guard<std::mutex> wait(callbackMutex_); }

std::shared_ptr<MixerSource> Mixer::Detach(Voice& voice) {
  voice.playing = false;
  voice.fadeStep = 0;
  return std::move(voice.source);
}

void Mixer::Start(VoiceKind kind, std::shared_ptr<MixerSource> source, PlayMode mode) {
  std::shared_ptr<MixerSource> previous;
  {
    std::lock_guard<std::mutex> lock(voicesMutex_);
    Voice& voice = voices_[Index(kind)];
    previous = Detach(voice);
    voice.source = std::move(source);
    voice.playing = voice.source != nullptr;
    voice.mode = mode;
    voice.playedFrames = 0;
  }
  WaitForCallbacks();
}

void Mixer::Stop(VoiceKind kind) {
  std::shared_ptr<MixerSource> previous;
  {
    std::lock_guard<std::mutex> lock(voicesMutex_);
    previous = Detach(voices_[Index(kind)]);
  }
  WaitForCallbacks();
}

void Mixer::StopAll() {
  for (size_t i = 0; i < kVoiceKindCount; ++i) Stop(static_cast<VoiceKind>(i));
}

void Mixer::FadeOut(VoiceKind kind, uint32_t milliseconds) {
  uint64_t frames = uint64_t{milliseconds} * kMixRate / 1000;
  if (frames == 0) {
    Stop(kind);
    return;
  }
  std::lock_guard<std::mutex> lock(voicesMutex_);
  Voice& voice = voices_[Index(kind)];
  if (!voice.playing) return;
  // A second fade carries on from the level the first one reached.
  if (voice.fadeStep == 0) voice.fadeGain = kFullFade;
  voice.fadeStep = std::max<int64_t>(1, voice.fadeGain / static_cast<int64_t>(frames));
}

void Mixer::SetVolume(VoiceKind kind, float level) {
  float clamped = std::clamp(level, 0.0f, 1.0f);
  std::lock_guard<std::mutex> lock(voicesMutex_);
  voices_[Index(kind)].gain = static_cast<int32_t>(std::lround(clamped * kUnityGain));
}

bool Mixer::IsPlaying(VoiceKind kind) const {
  std::lock_guard<std::mutex> lock(voicesMutex_);
  return voices_[Index(kind)].playing;
}

int Mixer::TakeFinished(VoiceKind kind) {
  std::shared_ptr<MixerSource> ended;
  int count;
  {
    std::lock_guard<std::mutex> lock(voicesMutex_);
    Voice& voice = voices_[Index(kind)];
    count = voice.finishedCount;
    voice.finishedCount = 0;
    if (!voice.playing) ended = std::move(voice.source);
  }
  if (ended) WaitForCallbacks();
  return count;
}

uint64_t Mixer::PlayedFrames(VoiceKind kind) const {
  std::lock_guard<std::mutex> lock(voicesMutex_);
  return voices_[Index(kind)].playedFrames;
}

bool Mixer::MixVoice(Voice& voice, size_t frames) {
  MixerSource& source = *voice.source;
  int16_t* samples = scratch_.data();
  size_t got = 0;
  bool ended = false;
  bool rewound = false;
  while (got < frames) {
    size_t read = source.Read(samples + kMixChannels * got, frames - got);
    got += std::min(read, frames - got);
    if (got == frames) break;
    if (!source.AtEnd()) break;  // fell behind: silence until it catches up
    // A loop that reads nothing right after going back would spin for ever.
    bool empty = rewound && read == 0;
    if (voice.mode == PlayMode::Loop && !empty && source.Rewind()) {
      rewound = true;
      continue;
    }
    ended = true;
    break;
  }
  voice.playedFrames += got;

  int32_t* sum = accumulator_.data();
  size_t count = got * kMixChannels;
  if (voice.fadeStep != 0) {
    for (size_t frame = 0; frame < got; ++frame) {
      int64_t gain = (int64_t{voice.gain} * (voice.fadeGain >> 16)) >> 16;
      sum[2 * frame] += static_cast<int32_t>((samples[2 * frame] * gain) >> 16);
      sum[2 * frame + 1] += static_cast<int32_t>((samples[2 * frame + 1] * gain) >> 16);
      voice.fadeGain -= voice.fadeStep;
      if (voice.fadeGain <= 0) {
        voice.fadeStep = 0;
        voice.playing = false;  // the fade's end is a stop, not an end of play
        return false;
      }
    }
  } else if (voice.gain == kUnityGain) {
    for (size_t i = 0; i < count; ++i) sum[i] += samples[i];
  } else {
    int64_t gain = voice.gain;
    for (size_t i = 0; i < count; ++i) sum[i] += static_cast<int32_t>((samples[i] * gain) >> 16);
  }
  if (ended) {
    voice.playing = false;
    voice.fadeStep = 0;
    ++voice.finishedCount;
    return false;
  }
  return true;
}

void Mixer::Mix(int16_t* out, size_t frames) {
  std::unique_lock<std::mutex> lock(voicesMutex_);
  size_t mixedCount = 0;
  for (Voice& voice : voices_)
    if (voice.playing) mixedSources_[mixedCount++] = voice.source.get();

  for (size_t done = 0; done < frames;) {
    size_t block = std::min(kBlockFrames, frames - done);
    std::fill_n(accumulator_.begin(), block * kMixChannels, 0);
    for (Voice& voice : voices_)
      if (voice.playing) MixVoice(voice, block);
    int16_t* target = out + done * kMixChannels;
    for (size_t i = 0; i < block * kMixChannels; ++i)
      target[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator_[i], INT16_MIN, INT16_MAX));
    done += block;
  }

  // Sources are told of their progress with the voices unlocked, so that a completion callback
  // may queue more sound; callbackMutex_ keeps them alive meanwhile.
  std::lock_guard<std::mutex> callbacks(callbackMutex_);
  lock.unlock();
  for (size_t i = 0; i < mixedCount; ++i) mixedSources_[i]->AfterMix();
}

}  // namespace velmio
