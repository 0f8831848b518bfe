#include "sound/sound_system.h"

#include "base/warning.h"

namespace velmio {

void SoundSystem::Open(Platform& platform) {
  const bool onEngineThread = platform.AudioPullKind() == AudioPull::EngineThread;
  mp3_.SetServicing(onEngineThread ? Mp3Stream::Servicing::BeforeEachMix : Mp3Stream::Servicing::OwnThread);
  AudioDevice* device = platform.Audio();
  if (device == nullptr) return;
  AudioDevice::PullCallback pull;
  if (onEngineThread) {
    // Nothing runs beside the engine, so the streams are fed right before each mix.
    pull = [this](int16_t* out, size_t frames) {
      feeder_.FillAll();
      mp3_.Service();
      mixer_.Mix(out, frames);
    };
  } else {
    pull = [this](int16_t* out, size_t frames) { mixer_.Mix(out, frames); };
  }
  std::string problem = device->Open(std::move(pull));
  if (!problem.empty()) {
    Warn(problem + "; the game plays without sound");
    return;
  }
  device_ = device;
  if (!onEngineThread) {
    feeder_.StartThread();
    feederThread_ = true;
  }
  device_->Resume();
}

void SoundSystem::Close() {
  mp3_.Stop();
  if (device_ != nullptr) {
    device_->Close();
    device_ = nullptr;
  }
  if (feederThread_) {
    feeder_.StopThread();
    feederThread_ = false;
  }
  mixer_.StopAll();
}

MidiRenderer& SoundSystem::Midi() {
  if (!midi_) {
    midi_ = std::make_shared<MidiRenderer>();
    if (!midi_->Warning().empty()) Warn(midi_->Warning());
  }
  return *midi_;
}

}  // namespace velmio
