#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/sound/pcm_converter.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace velmio {

struct MovieInfo {
  bool hasVideo = false;
  bool hasAudio = false;
  int sourceWidth = 0;
  int sourceHeight = 0;
  int64_t durationMs = 0;  // 0 when the container does not say
};

enum class MovieStep : uint8_t {
  Picture,  // a new picture is ready
  Sound,    // more sound is buffered
  End,      // nothing more: the file has been read and both decoders drained
};

// Any container and codec FFmpeg reads, decoded a piece at a time: pictures scaled to the
// 640 x 480 screen, sound converted to 44.1 kHz stereo 16-bit. The caller paces the pictures by
// their times, against the sound played so far or against its own clock.
class MovieDecoder {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  // Rows are padded to 4 bytes, like every picture of the screen.
  static constexpr int kStride = (kWidth * 3 + 3) & ~3;

  // False in a build without a movie decoder (the browser's), where Open always fails.
  static bool Available();

  MovieDecoder();
  MovieDecoder(const MovieDecoder&) = delete;
  MovieDecoder& operator=(const MovieDecoder&) = delete;
  ~MovieDecoder();

  // Empty when the movie can be played, else why not (UTF-8, naming the file).
  std::string Open(const std::string& path);
  const MovieInfo& Info() const { return info_; }

  // Reads and decodes the next piece of the file.
  MovieStep Step();
  // Steps until a new picture is ready; false once the movie is over.
  bool NextPicture();

  // The latest picture: blue, green, red, rows bottom-up (row 0 in memory is the bottom of the
  // picture), kStride bytes apart. Black before the first picture.
  const uint8_t* Picture() const { return picture_.data(); }
  // When the latest picture is due, in milliseconds from the start of the movie.
  int64_t PictureTimeMs() const { return pictureTimeMs_; }

  size_t BufferedAudioFrames() const { return (audio_.size() - audioOffset_) / 2; }
  // Takes up to `frames` frames of the sound decoded so far.
  size_t ReadAudio(int16_t* out, size_t frames);

 private:
  bool ReceivePicture();
  bool ReceiveSound();
  void Close();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* video_ = nullptr;
  AVCodecContext* audioDecoder_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int videoIndex_ = -1;
  int audioIndex_ = -1;
  int64_t startMs_ = 0;
  bool inputDone_ = false;
  bool videoDrained_ = true;
  bool audioDrained_ = true;
  MovieInfo info_;
  std::string name_;

  std::vector<uint8_t> picture_;
  int64_t pictureTimeMs_ = 0;
  int64_t nextPictureMs_ = 0;  // for pictures without a time of their own

  PcmConverter converter_;
  int audioFormat_ = -1;  // the sample format, channels and rate the converter is set up for
  int audioChannels_ = 0;
  int audioRate_ = 0;
  std::vector<int16_t> audio_;
  size_t audioOffset_ = 0;
};

}  // namespace velmio
