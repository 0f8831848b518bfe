#pragma once
#include <memory>

#include "files/sound/audio_stream.h"
#include "files/sound/midi_renderer.h"
#include "sound/stream_feeder.h"

namespace velmio {

// A decoded file as the stream feeder's producer (a CD track), started again at its end when
// looping.
class AudioStreamProducer : public FrameProducer {
 public:
  AudioStreamProducer(std::unique_ptr<AudioStream> stream, PlayMode mode) : stream_(std::move(stream)), mode_(mode) {}
  size_t Produce(int16_t* out, size_t frames) override {
    size_t produced = stream_->Read(out, frames);
    // A file that gives nothing right after going back would loop for ever without sound.
    if (produced == 0 && mode_ == PlayMode::Loop && stream_->Rewind()) produced = stream_->Read(out, frames);
    return produced;
  }
  const AudioStream& Stream() const { return *stream_; }

 private:
  std::unique_ptr<AudioStream> stream_;
  PlayMode mode_;
};

// The MIDI synthesiser as a producer. The renderer is shared so that its SoundFont stays loaded
// from song to song: detach the stream from the feeder before starting the next song.
class MidiProducer : public FrameProducer {
 public:
  explicit MidiProducer(std::shared_ptr<MidiRenderer> renderer) : renderer_(std::move(renderer)) {}
  size_t Produce(int16_t* out, size_t frames) override { return renderer_->Render(out, frames); }

 private:
  std::shared_ptr<MidiRenderer> renderer_;
};

}  // namespace velmio
