#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>

namespace velmio {

void SdlAudioDevice::Callback(void* user, uint8_t* stream, int bytes) {
  auto* device = static_cast<SdlAudioDevice*>(user);
  device->pull_(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / (kChannels * sizeof(int16_t)));
}

std::string SdlAudioDevice::Open(PullCallback pull) {
  Close();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return std::string("no sound: ") + SDL_GetError();
  pull_ = std::move(pull);
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
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // waits for a callback in progress
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Pause() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

void SdlAudioDevice::Resume() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

}  // namespace velmio
