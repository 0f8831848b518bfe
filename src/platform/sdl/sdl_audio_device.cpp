#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>

#include "base/warning.h"

namespace velmio {

void SdlAudioDevice::Callback(void* user, uint8_t* stream, int bytes) {
  auto* device = static_cast<SdlAudioDevice*>(user);
  device->pull_(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / (kChannels * sizeof(int16_t)));
}

std::string SdlAudioDevice::Open(PullCallback pull) {
  Close();
  pull_ = std::move(pull);
  paused_ = true;
#ifdef __EMSCRIPTEN__
  // A page's sound cannot start before the player's first click, key or touch, and making the
  // browser's audio output stalls the page for a noticeable moment: it waits for that gesture
  // instead of holding up the first picture. Until then nothing is pulled, as it would not be
  // from a suspended output either.
  waitingForGesture_ = true;
  return {};
#else
  return OpenNow();
#endif
}

void SdlAudioDevice::OpenAfterGesture() {
  if (!waitingForGesture_) return;
  waitingForGesture_ = false;
  std::string problem = OpenNow();
  if (!problem.empty()) {
    Warn(problem + "; the game plays without sound");
    return;
  }
  if (!paused_) SDL_PauseAudioDevice(device_, 0);
}

std::string SdlAudioDevice::OpenNow() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return std::string("no sound: ") + SDL_GetError();
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kChannels;
  wanted.samples = 1024;  // 23 ms: short enough for effects to start with the picture
  wanted.callback = Callback;
  wanted.userdata = this;
  // No changes allowed: SDL converts our format for the card.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device_ == 0) {
    std::string message = std::string("no sound: the audio device cannot be opened (") + SDL_GetError() + ")";
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return message;
  }
  return {};
}

void SdlAudioDevice::Close() {
  waitingForGesture_ = false;
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // waits for a callback in progress
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Pause() {
  paused_ = true;
  if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

void SdlAudioDevice::Resume() {
  paused_ = false;
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

}  // namespace velmio
