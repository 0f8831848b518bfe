// Sound and movie throughput. Each benchmark reports `x_realtime`: seconds of sound (or movie)
// handled per second of processor time. The inputs are written at start-up into a temporary
// folder by the media writers in tools/.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/sound/midi_renderer.h"
#include "files/sound/movie_decoder.h"
#include "files/sound/mp3_decoder.h"
#include "sound/mixer.h"
#include "sound/pcm_sources.h"
#include "sound_media.h"

namespace velmio {
namespace {

struct BenchMedia {
  std::filesystem::path folder;
  std::vector<uint8_t> mp3;  // 10 s, 128 kbit/s, 44.1 kHz stereo
  std::string movie;         // 5 s, 640 x 480, 30 fps, with 128 kbit/s sound
  double movieSeconds = 5.0;
  BenchMedia() {
    folder = std::filesystem::temp_directory_path() / ("velmio-sound-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string mp3Path = (folder / "music.mp3").string();
    std::string error = media::WriteTone(mp3Path, {"libmp3lame", 44100, 2, 128000, 10.0, 440.0});
    if (error.empty()) {
      std::ifstream file(mp3Path, std::ios::binary);
      mp3.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    movie = (folder / "movie.avi").string();
    media::MovieFile settings;
    settings.picture = media::MoviePicture::Waves;
    settings.width = 640;
    settings.height = 480;
    settings.framesPerSecond = 30;
    settings.seconds = movieSeconds;
    settings.videoBitRate = 2000000;
    settings.audioRate = 44100;
    settings.audioChannels = 2;
    settings.audioBitRate = 128000;
    if (error.empty()) error = media::WriteMovie(movie, settings);
    if (!error.empty()) std::fprintf(stderr, "sound_bench: cannot write the inputs: %s\n", error.c_str());
  }
  ~BenchMedia() { std::filesystem::remove_all(folder); }
};

BenchMedia& Media() {
  static BenchMedia media;
  return media;
}

void ReportRealtime(benchmark::State& state, double secondsPerIteration) {
  state.counters["x_realtime"] =
      benchmark::Counter(secondsPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Voices playing at once, one at a lowered volume and one fading, for one second of sound. The
// engine never plays more than five (one per kind); eight are mixed by a second mixer taking
// the other three, to size the mixing work per voice.
void MixVoices(benchmark::State& state) {
  auto samples = std::make_shared<std::vector<int16_t>>(2 * 44100);
  for (size_t i = 0; i < samples->size(); ++i) (*samples)[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
  Mixer first;
  Mixer second;
  for (int voice = 0; voice < state.range(0); ++voice) {
    Mixer& mixer = voice < static_cast<int>(kVoiceKindCount) ? first : second;
    mixer.Start(static_cast<VoiceKind>(voice % kVoiceKindCount), std::make_shared<PcmSource>(samples), PlayMode::Loop);
  }
  first.SetVolume(VoiceKind::Wave, 0.7f);
  std::vector<int16_t> out(2 * 1024);
  for (auto _ : state) {
    first.FadeOut(VoiceKind::Cd, 60000);
    for (size_t done = 0; done < 44100; done += 1024) {
      size_t frames = std::min<size_t>(1024, 44100 - done);
      first.Mix(out.data(), frames);
      if (state.range(0) > static_cast<int>(kVoiceKindCount)) second.Mix(out.data(), frames);
    }
    benchmark::DoNotOptimize(out.data());
  }
  ReportRealtime(state, 1.0);
}
BENCHMARK(MixVoices)->Arg(5)->Arg(8)->Unit(benchmark::kMicrosecond);

// The MP3 stream's decoding: 2,048-byte chunks through the four-call contract, 44.1 kHz stereo out.
void DecodeMp3(benchmark::State& state) {
  const std::vector<uint8_t>& file = Media().mp3;
  if (file.empty()) return state.SkipWithError("no MP3 input");
  Mp3Decoder decoder;
  std::vector<uint8_t> block(Mp3Decoder::kOutputBlockBytes);
  size_t bytes = 0;
  for (auto _ : state) {
    decoder.InitMp3();
    bytes = 0;
    for (size_t position = 0; position < file.size(); position += Mp3Decoder::kInputChunkBytes) {
      size_t produced = 0;
      size_t length = std::min(Mp3Decoder::kInputChunkBytes, file.size() - position);
      Mp3DecodeResult result = decoder.DecodeMp3(file.data() + position, length, block.data(), block.size(), &produced);
      while (result == Mp3DecodeResult::BlockReady) {
        bytes += produced;
        result = decoder.DecodeMp3(nullptr, 0, block.data(), block.size(), &produced);
      }
    }
    decoder.ExitMp3();
  }
  ReportRealtime(state, static_cast<double>(bytes) / (44100 * 4));
}
BENCHMARK(DecodeMp3)->Unit(benchmark::kMillisecond);

// One second of busy General MIDI (32 notes on eight instruments, drums) through the default SoundFont.
void RenderMidi(benchmark::State& state) {
  static MidiRenderer renderer;
  if (!renderer.HasSoundFont()) return state.SkipWithError(renderer.Warning().c_str());
  std::vector<uint8_t> song = media::MidiChords(8);
  renderer.Start(song, "chords.mid", PlayRepeat::Loop);
  std::vector<int16_t> out(2 * 4096);
  for (auto _ : state) {
    for (size_t done = 0; done < 44100; done += 4096) renderer.Render(out.data(), std::min<size_t>(4096, 44100 - done));
    benchmark::DoNotOptimize(out.data());
  }
  ReportRealtime(state, 1.0);
}
BENCHMARK(RenderMidi)->Unit(benchmark::kMillisecond);

// A 640 x 480, 30 fps movie decoded and scaled into the screen's picture, its sound converted.
void DecodeMovie(benchmark::State& state) {
  std::vector<int16_t> sound(2 * 4096);
  for (auto _ : state) {
    MovieDecoder movie;
    std::string error = movie.Open(Media().movie);
    if (!error.empty()) return state.SkipWithError(error.c_str());
    while (movie.Step() != MovieStep::End)
      while (movie.ReadAudio(sound.data(), 4096) > 0) {
      }
    benchmark::DoNotOptimize(movie.Picture());
  }
  ReportRealtime(state, Media().movieSeconds);
}
BENCHMARK(DecodeMovie)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmio
