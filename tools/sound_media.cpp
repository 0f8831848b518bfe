#include "sound_media.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace velmio::media {

namespace {

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// One encoded stream of an output file.
struct Encoder {
  AVCodecContext* context = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  int64_t nextPts = 0;
  // Encoders put their priming before 0 (MP3: two frames); AVI cannot hold times before 0 and
  // the muxer would shift every stream to make room, so this stream alone starts at 0 instead.
  int64_t shift = -1;
  ~Encoder() {
    av_frame_free(&frame);
    avcodec_free_context(&context);
  }
};

class Output {
 public:
  ~Output() {
    if (format_) {
      if (format_->pb) avio_closep(&format_->pb);
      avformat_free_context(format_);
    }
  }

  std::string Create(const std::string& path) {
    int result = avformat_alloc_output_context2(&format_, nullptr, nullptr, path.c_str());
    if (result < 0) return path + ": " + ErrorText(result);
    // No random stream serials or version strings: the same program writes the same bytes.
    format_->flags |= AVFMT_FLAG_BITEXACT;
    path_ = path;
    return {};
  }

  std::string AddAudio(Encoder& encoder, const std::string& codecName, int rate, int channels, int64_t bitRate) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (!codec) return "no encoder " + codecName;
    AVCodecContext* c = encoder.context = avcodec_alloc_context3(codec);
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->sample_rate = rate;
    av_channel_layout_default(&c->ch_layout, channels);
    if (bitRate > 0) c->bit_rate = bitRate;
    c->time_base = AVRational{1, rate};
    return Finish(encoder, codec);
  }

  std::string AddVideo(Encoder& encoder, const std::string& codecName, int width, int height, int fps, int64_t bitRate) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (!codec) return "no encoder " + codecName;
    AVCodecContext* c = encoder.context = avcodec_alloc_context3(codec);
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->gop_size = 12;
    c->max_b_frames = 0;
    c->bit_rate = bitRate;
    return Finish(encoder, codec);
  }

  std::string Begin() {
    int result = avio_open(&format_->pb, path_.c_str(), AVIO_FLAG_WRITE);
    if (result >= 0) result = avformat_write_header(format_, nullptr);
    return result < 0 ? path_ + ": " + ErrorText(result) : std::string();
  }

  // Sends the frame (null to flush) and writes every packet the encoder gives back.
  std::string Encode(Encoder& encoder, AVFrame* frame) {
    int result = avcodec_send_frame(encoder.context, frame);
    if (result < 0) return "encoding: " + ErrorText(result);
    AVPacket* packet = av_packet_alloc();
    while ((result = avcodec_receive_packet(encoder.context, packet)) >= 0) {
      if (encoder.shift < 0) encoder.shift = packet->pts < 0 ? -packet->pts : 0;
      packet->pts += encoder.shift;
      packet->dts += encoder.shift;
      av_packet_rescale_ts(packet, encoder.context->time_base, encoder.stream->time_base);
      packet->stream_index = encoder.stream->index;
      result = av_interleaved_write_frame(format_, packet);
      if (result < 0) break;
    }
    av_packet_free(&packet);
    return result < 0 && result != AVERROR(EAGAIN) && result != AVERROR_EOF ? "writing: " + ErrorText(result) : std::string();
  }

  std::string End() {
    int result = av_write_trailer(format_);
    return result < 0 ? path_ + ": " + ErrorText(result) : std::string();
  }

 private:
  std::string Finish(Encoder& encoder, const AVCodec* codec) {
    AVCodecContext* c = encoder.context;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    c->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    int result = avcodec_open2(c, codec, nullptr);
    if (result < 0) return std::string(codec->name) + ": " + ErrorText(result);
    encoder.stream = avformat_new_stream(format_, nullptr);
    avcodec_parameters_from_context(encoder.stream->codecpar, c);
    encoder.stream->time_base = c->time_base;
    encoder.frame = av_frame_alloc();
    return {};
  }

  AVFormatContext* format_ = nullptr;
  std::string path_;
};

// Fills the next audio frame of the encoder with a sine tone at half of full scale.
std::string NextToneFrame(Encoder& encoder, double frequency, int64_t totalSamples) {
  AVCodecContext* c = encoder.context;
  int samples = c->frame_size > 0 ? c->frame_size : 1024;
  samples = static_cast<int>(std::min<int64_t>(samples, totalSamples - encoder.nextPts));
  AVFrame* frame = encoder.frame;
  av_frame_unref(frame);
  frame->nb_samples = samples;
  frame->format = c->sample_fmt;
  frame->sample_rate = c->sample_rate;
  av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
  int result = av_frame_get_buffer(frame, 0);
  if (result < 0) return ErrorText(result);
  int channels = c->ch_layout.nb_channels;
  bool planar = av_sample_fmt_is_planar(c->sample_fmt);
  AVSampleFormat packed = av_get_packed_sample_fmt(c->sample_fmt);
  for (int i = 0; i < samples; ++i) {
    double value = 0.5 * std::sin(2 * M_PI * frequency * static_cast<double>(encoder.nextPts + i) / c->sample_rate);
    for (int ch = 0; ch < channels; ++ch) {
      uint8_t* base = frame->extended_data[planar ? ch : 0];
      int index = planar ? i : i * channels + ch;
      switch (packed) {
        case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(base)[index] = static_cast<int16_t>(std::lround(value * 32767)); break;
        case AV_SAMPLE_FMT_S32: reinterpret_cast<int32_t*>(base)[index] = static_cast<int32_t>(std::lround(value * 2147483647.0)); break;
        case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(base)[index] = static_cast<float>(value); break;
        case AV_SAMPLE_FMT_DBL: reinterpret_cast<double*>(base)[index] = value; break;
        default: return "unexpected sample format";
      }
    }
  }
  frame->pts = encoder.nextPts;
  encoder.nextPts += samples;
  return {};
}

void DrawWaves(AVFrame* frame, int index, int width, int height) {
  double t = index * 0.2;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      frame->data[0][y * frame->linesize[0] + x] =
          static_cast<uint8_t>(126 + 50 * std::sin(x / 9.0 + t) + 40 * std::cos(y / 7.0 - 1.3 * t) + 8 * std::sin((x + y) / 3.0));
  for (int y = 0; y < height / 2; ++y)
    for (int x = 0; x < width / 2; ++x) {
      frame->data[1][y * frame->linesize[1] + x] = static_cast<uint8_t>(128 + 60 * std::sin((x + y) / 11.0 + t));
      frame->data[2][y * frame->linesize[2] + x] = static_cast<uint8_t>(128 + 60 * std::cos((x - y) / 13.0 - t));
    }
}

void DrawPicture(AVFrame* frame, int index, int width, int height) {
  // BT.601 limited range: red (81, 90, 240), blue (41, 240, 110), white (235, 128, 128).
  int square = std::max(4, height / 6) & ~1;
  int left = (index * std::max(2, (width - square) / 30)) & ~1;
  auto inSquare = [&](int x, int y) {
    return x >= left && x < left + square && y >= height / 2 - square / 2 && y < height / 2 + square / 2;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      frame->data[0][y * frame->linesize[0] + x] = inSquare(x, y) ? 235 : y < height / 2 ? 81 : 41;
  }
  for (int y = 0; y < height / 2; ++y) {
    for (int x = 0; x < width / 2; ++x) {
      bool white = inSquare(2 * x, 2 * y);
      bool top = 2 * y < height / 2;
      frame->data[1][y * frame->linesize[1] + x] = white ? 128 : top ? 90 : 240;
      frame->data[2][y * frame->linesize[2] + x] = white ? 128 : top ? 240 : 110;
    }
  }
}

}  // namespace

std::string WriteTone(const std::string& path, const ToneFile& tone) {
  Output output;
  Encoder encoder;
  std::string error = output.Create(path);
  if (error.empty()) error = output.AddAudio(encoder, tone.codec, tone.rate, tone.channels, tone.bitRate);
  if (error.empty()) error = output.Begin();
  int64_t total = std::llround(tone.seconds * tone.rate);
  while (error.empty() && encoder.nextPts < total) {
    error = NextToneFrame(encoder, tone.frequency, total);
    if (error.empty()) error = output.Encode(encoder, encoder.frame);
  }
  if (error.empty()) error = output.Encode(encoder, nullptr);
  if (error.empty()) error = output.End();
  return error;
}

std::string WriteMovie(const std::string& path, const MovieFile& movie) {
  Output output;
  Encoder video;
  Encoder audio;
  bool withSound = !movie.audioCodec.empty();
  std::string error = output.Create(path);
  if (error.empty()) error = output.AddVideo(video, movie.videoCodec, movie.width, movie.height, movie.framesPerSecond, movie.videoBitRate);
  if (error.empty() && withSound) error = output.AddAudio(audio, movie.audioCodec, movie.audioRate, movie.audioChannels, movie.audioBitRate);
  if (error.empty()) error = output.Begin();
  int frames = static_cast<int>(std::lround(movie.seconds * movie.framesPerSecond));
  int64_t totalSamples = std::llround(movie.seconds * movie.audioRate);
  for (int index = 0; error.empty() && index < frames; ++index) {
    AVFrame* frame = video.frame;
    av_frame_unref(frame);
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = movie.width;
    frame->height = movie.height;
    if (av_frame_get_buffer(frame, 0) < 0) return "no memory for a picture";
    if (movie.picture == MoviePicture::Waves) {
      DrawWaves(frame, index, movie.width, movie.height);
    } else {
      DrawPicture(frame, index, movie.width, movie.height);
    }
    frame->pts = index;
    error = output.Encode(video, frame);
    // The sound up to the end of this picture's time, so that the streams interleave.
    int64_t soundUntil = std::min<int64_t>(totalSamples, int64_t{index + 1} * movie.audioRate / movie.framesPerSecond);
    while (error.empty() && withSound && audio.nextPts < soundUntil) {
      error = NextToneFrame(audio, 440.0, totalSamples);
      if (error.empty()) error = output.Encode(audio, audio.frame);
    }
  }
  if (error.empty()) error = output.Encode(video, nullptr);
  if (error.empty() && withSound) error = output.Encode(audio, nullptr);
  if (error.empty()) error = output.End();
  return error;
}

namespace {

void PutVariable(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[4];
  int count = 0;
  do {
    bytes[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(bytes[--count] | 0x80);
  out.push_back(bytes[0]);
}

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> SingleTrackFile(const std::vector<uint8_t>& track, uint32_t ticksPerQuarter) {
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
  PutBig(file, 6, 4);
  PutBig(file, 0, 2);  // format 0
  PutBig(file, 1, 2);  // one track
  PutBig(file, ticksPerQuarter, 2);
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  PutBig(file, static_cast<uint32_t>(track.size()), 4);
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

}  // namespace

std::vector<uint8_t> MidiTune() {
  constexpr uint32_t kTicksPerQuarter = 96;
  std::vector<uint8_t> track;
  // Tempo: a quarter note every 250 ms.
  PutVariable(track, 0);
  track.insert(track.end(), {0xFF, 0x51, 0x03});
  PutBig(track, 250000, 3);
  PutVariable(track, 0);
  track.insert(track.end(), {0xC0, 0x00});  // acoustic grand piano
  PutVariable(track, 0);
  track.insert(track.end(), {0x99, 36, 100});  // bass drum on the drum channel
  for (uint8_t note : {60, 64, 67, 72}) {
    PutVariable(track, 0);
    track.insert(track.end(), {0x90, note, 100});
    PutVariable(track, kTicksPerQuarter);
    track.insert(track.end(), {0x80, note, 0});
  }
  PutVariable(track, 0);
  track.insert(track.end(), {0x89, 36, 0});
  PutVariable(track, 0);
  track.insert(track.end(), {0xFF, 0x2F, 0x00});

  return SingleTrackFile(track, kTicksPerQuarter);
}

std::vector<uint8_t> MidiChords(int seconds) {
  constexpr uint32_t kTicksPerQuarter = 96;
  std::vector<uint8_t> track;
  PutVariable(track, 0);
  track.insert(track.end(), {0xFF, 0x51, 0x03});
  PutBig(track, 250000, 3);
  const uint8_t programs[8] = {0, 24, 32, 40, 48, 56, 73, 88};  // piano, guitar, bass, strings...
  for (uint8_t channel = 0; channel < 8; ++channel) {
    PutVariable(track, 0);
    track.insert(track.end(), {static_cast<uint8_t>(0xC0 | channel), programs[channel]});
  }
  const uint8_t roots[4] = {48, 53, 55, 50};
  for (int beat = 0; beat < 4 * seconds; ++beat) {
    uint8_t root = roots[(beat / 4) % 4];
    const uint8_t notes[4] = {root, static_cast<uint8_t>(root + 4), static_cast<uint8_t>(root + 7), static_cast<uint8_t>(root + 12)};
    for (uint8_t channel = 0; channel < 8; ++channel)
      for (uint8_t note : notes) {
        PutVariable(track, 0);
        track.insert(track.end(), {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note + 12 * (channel % 3)), 80});
      }
    PutVariable(track, 0);
    track.insert(track.end(), {0x99, static_cast<uint8_t>(beat % 2 ? 38 : 36), 100});
    PutVariable(track, kTicksPerQuarter);
    for (uint8_t channel = 0; channel < 8; ++channel)
      for (uint8_t note : notes) {
        PutVariable(track, 0);
        track.insert(track.end(), {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note + 12 * (channel % 3)), 0});
      }
  }
  PutVariable(track, 0);
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  return SingleTrackFile(track, kTicksPerQuarter);
}

}  // namespace velmio::media
