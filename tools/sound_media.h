#pragma once
// Writers of the sound and movie files the tests and benchmarks play: tones and movies encoded
// with FFmpeg's encoders, a MIDI tune written by hand.
#include <cstdint>
#include <string>
#include <vector>

namespace velmio::media {

struct ToneFile {
  std::string codec;  // an FFmpeg encoder: "libmp3lame", "libvorbis", "flac", "adpcm_ima_wav"...
  int rate = 44100;
  int channels = 2;
  int64_t bitRate = 0;  // 0: the encoder's default
  double seconds = 1.0;
  double frequency = 440.0;
};

enum class MoviePicture : uint8_t {
  Square,  // flat red and blue halves with a moving white square: easy to check
  Waves,   // moving interference stripes all over: a fair load for the decoder
};

struct MovieFile {
  MoviePicture picture = MoviePicture::Square;
  int width = 160;
  int height = 120;
  int framesPerSecond = 10;
  double seconds = 1.0;
  std::string videoCodec = "mpeg4";
  int64_t videoBitRate = 200000;
  std::string audioCodec = "libmp3lame";  // empty: no sound
  int audioRate = 22050;
  int audioChannels = 1;
  int64_t audioBitRate = 32000;
};

// Each returns an empty string on success, else what failed. The container follows the
// file's extension.
std::string WriteTone(const std::string& path, const ToneFile& tone);
// Square pictures: the top half red, the bottom half blue, with a white square moving left to
// right one step per frame. The sound is a 440 Hz tone.
std::string WriteMovie(const std::string& path, const MovieFile& movie);

// A standard MIDI file: four piano notes a quarter second each (C E G C), a drum hit under the
// first, then the end; 1 s long.
std::vector<uint8_t> MidiTune();
// `seconds` of four-note chords every quarter second on eight instruments, with drums: a
// busier load for the synthesiser than the tune.
std::vector<uint8_t> MidiChords(int seconds);

}  // namespace velmio::media
