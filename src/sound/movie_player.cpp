// `avi`: a movie over the whole window, its sound through the mixer, its pictures following the
// sound played so far (or the clock, for a silent movie or no sound device).
#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "base/encoding.h"
#include "base/errors.h"
#include "base/warning.h"
#include "files/sound/movie_decoder.h"
#include "graphics/present.h"
#include "sound/media.h"
#include "sound/media_files.h"
#include "sound/pcm_sources.h"
#include "sound/sound_context.h"
#include "sound/sound_system.h"

namespace velmio {
namespace {

constexpr uint32_t kPollMs = 50;
// A second of sound ahead of the mixer, so that a picture waiting for its time never starves it.
constexpr size_t kMovieRingFrames = 44100;
constexpr int64_t kAudioAheadMs = 200;
constexpr size_t kMaxQueuedPictures = 16;
constexpr size_t kPictureBytes = size_t{MovieDecoder::kStride} * MovieDecoder::kHeight;

class MoviePlayer {
 public:
  MoviePlayer(SoundContext& engine, MovieDecoder& decoder) : engine_(engine), decoder_(decoder) {
    system_ = engine.sound.system.get();
    if (system_ != nullptr && decoder.Info().hasAudio) {
      ring_ = std::make_shared<RingSource>(kMovieRingFrames);
      system_->Mix().Start(VoiceKind::Movie, ring_, PlayMode::Once);
    }
    start_ = engine.platform.Milliseconds();
  }
  ~MoviePlayer() {
    if (system_ != nullptr) system_->Mix().Stop(VoiceKind::Movie);
  }

  // Decodes what is due and shows the picture of this moment; false once the movie is over.
  bool Advance() {
    int64_t now = NowMs();
    while (!ended_ && (pictures_.empty() || Buffered() < kAudioAheadMs) && pictures_.size() < kMaxQueuedPictures) {
      MovieStep step = decoder_.Step();
      if (step == MovieStep::Picture) {
        const uint8_t* picture = decoder_.Picture();
        pictures_.push_back(Frame{decoder_.PictureTimeMs(), {picture, picture + kPictureBytes}});
      }
      if (step == MovieStep::End) ended_ = true;
      FeedSound();
    }
    FeedSound();
    if (ended_ && ring_ && decoder_.BufferedAudioFrames() == 0) ring_->MarkEnded();
    // The latest picture due; those before it come too late to be seen.
    if (!pictures_.empty() && pictures_.front().timeMs <= now) {
      while (pictures_.size() > 1 && pictures_[1].timeMs <= now) pictures_.pop_front();
      ShowPicture(pictures_.front().pixels);
      pictures_.pop_front();
    }
    bool soundLeft = ring_ && system_->Mix().IsPlaying(VoiceKind::Movie);
    return !ended_ || !pictures_.empty() || soundLeft;
  }

  uint32_t SleepMs() const {
    if (pictures_.empty()) return kPollMs;
    int64_t wait = pictures_.front().timeMs - NowMs();
    return static_cast<uint32_t>(std::clamp<int64_t>(wait, 1, kPollMs));
  }

 private:
  int64_t NowMs() const {
    if (ring_ && system_->DeviceOpen())
      return static_cast<int64_t>(system_->Mix().PlayedFrames(VoiceKind::Movie) * 1000 / kMixRate);
    return static_cast<int64_t>(engine_.platform.Milliseconds() - start_);
  }
  int64_t Buffered() const {
    if (!ring_) return kAudioAheadMs;
    return static_cast<int64_t>((ring_->BufferedFrames() + decoder_.BufferedAudioFrames()) * 1000 / kMixRate);
  }
  void FeedSound() {
    if (!ring_) {
      // Nobody listens: drop the sound so it does not pile up.
      while (decoder_.BufferedAudioFrames() > 0) decoder_.ReadAudio(scratch_.data(), scratch_.size() / 2);
      return;
    }
    while (decoder_.BufferedAudioFrames() > 0 && ring_->FreeFrames() > 0) {
      size_t frames = decoder_.ReadAudio(scratch_.data(), std::min(scratch_.size() / 2, ring_->FreeFrames()));
      if (frames == 0) break;
      ring_->Write(scratch_.data(), frames);
    }
  }
  // The window shows the movie through the display surface, so a screenshot sees it too.
  void ShowPicture(const std::vector<uint8_t>& picture) {
    Surface& display = engine_.graphics.display;
    if (display.pixels == nullptr || display.width != MovieDecoder::kWidth || display.height != MovieDecoder::kHeight)
      return;
    for (int row = 0; row < MovieDecoder::kHeight; ++row)
      std::memcpy(display.pixels + static_cast<size_t>(row) * display.stride,
                  picture.data() + static_cast<size_t>(row) * MovieDecoder::kStride, MovieDecoder::kWidth * 3);
    engine_.platform.Present(display.pixels, display.stride, ScreenArea{0, 0, display.width, display.height});
  }

  SoundContext& engine_;
  MovieDecoder& decoder_;
  SoundSystem* system_ = nullptr;
  std::shared_ptr<RingSource> ring_;
  uint32_t start_ = 0;
  bool ended_ = false;
  struct Frame {
    int64_t timeMs;
    std::vector<uint8_t> pixels;
  };
  std::deque<Frame> pictures_;  // decoded ahead while the sound is fed
  std::array<int16_t, 4096> scratch_{};
};

}  // namespace

void PlayMovie(SoundContext& engine, std::string_view name, ClickToStop clickToStop) {
  ResolvedMedia media = ResolveMediaFile(engine, name);
  TemporaryMark mark;
  Mark(mark, media);
  // A build without movies goes on with the story rather than stopping the game.
  if (!MovieDecoder::Available()) {
    DeleteTemporary(mark);
    Warn(ShiftJisToUtf8(name) + ": movies are not played in this build; skipped");
    return;
  }
  MovieDecoder decoder;
  std::string problem = decoder.Open(media.path);
  if (!problem.empty()) {
    DeleteTemporary(mark);
    ReportError("AVI Error 1", Utf8ToShiftJis(problem.substr(0, 256)));
  }
  // The screen under the movie comes back when it ends.
  Surface& display = engine.graphics.display;
  std::vector<uint8_t> saved(display.pixelStore);
  engine.sound.moviePlaying = true;
  {
    MoviePlayer player(engine, decoder);
    try {
      while (player.Advance()) {
        engine.PumpOneMessage();
        if (engine.input.clickFlag && clickToStop == ClickToStop::Yes) break;
        engine.platform.Idle(player.SleepMs(), WaitKind::Timed);
      }
    } catch (...) {
      engine.sound.moviePlaying = false;
      DeleteTemporary(mark);
      throw;
    }
  }
  engine.sound.moviePlaying = false;
  if (saved.size() == display.pixelStore.size()) std::copy(saved.begin(), saved.end(), display.pixelStore.begin());
  PresentDisplay(engine);
  DeleteTemporary(mark);
}

}  // namespace velmio
