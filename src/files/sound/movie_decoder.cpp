#include "files/sound/movie_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace velmio {

namespace {

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

bool ToPcmFormat(int avFormat, SampleType& type, SampleLayout& layout) {
  switch (static_cast<AVSampleFormat>(avFormat)) {
    case AV_SAMPLE_FMT_U8: type = SampleType::UnsignedByte; layout = SampleLayout::Interleaved; return true;
    case AV_SAMPLE_FMT_S16: type = SampleType::Short; layout = SampleLayout::Interleaved; return true;
    case AV_SAMPLE_FMT_S32: type = SampleType::Int; layout = SampleLayout::Interleaved; return true;
    case AV_SAMPLE_FMT_FLT: type = SampleType::Float; layout = SampleLayout::Interleaved; return true;
    case AV_SAMPLE_FMT_DBL: type = SampleType::Double; layout = SampleLayout::Interleaved; return true;
    case AV_SAMPLE_FMT_U8P: type = SampleType::UnsignedByte; layout = SampleLayout::Planar; return true;
    case AV_SAMPLE_FMT_S16P: type = SampleType::Short; layout = SampleLayout::Planar; return true;
    case AV_SAMPLE_FMT_S32P: type = SampleType::Int; layout = SampleLayout::Planar; return true;
    case AV_SAMPLE_FMT_FLTP: type = SampleType::Float; layout = SampleLayout::Planar; return true;
    case AV_SAMPLE_FMT_DBLP: type = SampleType::Double; layout = SampleLayout::Planar; return true;
    default: return false;
  }
}

// A decoder for the stream, or null (with the reason) when FFmpeg has none.
AVCodecContext* OpenDecoder(AVStream* stream, std::string& problem) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) {
    problem = std::string("no decoder for ") + avcodec_get_name(stream->codecpar->codec_id);
    return nullptr;
  }
  AVCodecContext* context = avcodec_alloc_context3(codec);
  int result = context ? avcodec_parameters_to_context(context, stream->codecpar) : AVERROR(ENOMEM);
  if (result >= 0) {
    context->pkt_timebase = stream->time_base;
    result = avcodec_open2(context, codec, nullptr);
  }
  if (result < 0) {
    problem = std::string(codec->name) + ": " + ErrorText(result);
    avcodec_free_context(&context);
  }
  return context;
}

}  // namespace

bool MovieDecoder::Available() { return true; }

MovieDecoder::MovieDecoder() : picture_(static_cast<size_t>(kStride) * kHeight, 0) {}

MovieDecoder::~MovieDecoder() { Close(); }

void MovieDecoder::Close() {
  sws_freeContext(scaler_);
  scaler_ = nullptr;
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&video_);
  avcodec_free_context(&audioDecoder_);
  avformat_close_input(&format_);
}

std::string MovieDecoder::Open(const std::string& path) {
  Close();
  name_ = path;
  info_ = {};
  int result = avformat_open_input(&format_, path.c_str(), nullptr, nullptr);
  if (result < 0) return path + ": cannot be opened as a movie (" + ErrorText(result) + ")";
  result = avformat_find_stream_info(format_, nullptr);
  if (result < 0) return path + ": " + ErrorText(result);

  std::string problem;
  videoIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (videoIndex_ >= 0) {
    video_ = OpenDecoder(format_->streams[videoIndex_], problem);
    if (!video_) return path + ": the pictures cannot be decoded (" + problem + ")";
  }
  audioIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, videoIndex_, nullptr, 0);
  if (audioIndex_ >= 0) {
    // A movie whose sound cannot be decoded still shows its pictures.
    audioDecoder_ = OpenDecoder(format_->streams[audioIndex_], problem);
    if (!audioDecoder_) audioIndex_ = -1;
  }
  if (!video_ && !audioDecoder_) return path + ": holds neither pictures nor sound that can be played";

  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!frame_ || !packet_) return path + ": out of memory";
  info_.hasVideo = video_ != nullptr;
  info_.hasAudio = audioDecoder_ != nullptr;
  if (video_) {
    info_.sourceWidth = video_->width;
    info_.sourceHeight = video_->height;
  }
  if (format_->duration != AV_NOPTS_VALUE) info_.durationMs = format_->duration / 1000;
  startMs_ = format_->start_time != AV_NOPTS_VALUE ? format_->start_time / 1000 : 0;
  inputDone_ = false;
  videoDrained_ = video_ == nullptr;
  audioDrained_ = audioDecoder_ == nullptr;
  std::fill(picture_.begin(), picture_.end(), 0);
  pictureTimeMs_ = nextPictureMs_ = 0;
  audio_.clear();
  audioOffset_ = 0;
  audioFormat_ = -1;
  return {};
}

bool MovieDecoder::ReceivePicture() {
  if (videoDrained_) return false;
  int result = avcodec_receive_frame(video_, frame_);
  if (result == AVERROR_EOF) videoDrained_ = true;
  if (result < 0) return false;
  scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height, static_cast<AVPixelFormat>(frame_->format),
                                 kWidth, kHeight, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (scaler_) {
    // Written from the last row upwards: the top of the picture lands at the end of the buffer.
    uint8_t* rows[4] = {picture_.data() + static_cast<size_t>(kHeight - 1) * kStride, nullptr, nullptr, nullptr};
    int strides[4] = {-kStride, 0, 0, 0};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, rows, strides);
  }
  AVStream* stream = format_->streams[videoIndex_];
  int64_t pts = frame_->best_effort_timestamp;
  if (pts != AV_NOPTS_VALUE) {
    pictureTimeMs_ = std::max<int64_t>(0, av_rescale_q(pts, stream->time_base, AVRational{1, 1000}) - startMs_);
  } else {
    pictureTimeMs_ = nextPictureMs_;
  }
  AVRational rate = av_guess_frame_rate(format_, stream, frame_);
  int64_t frameMs = rate.num > 0 && rate.den > 0 ? av_rescale(1000, rate.den, rate.num) : 40;
  nextPictureMs_ = pictureTimeMs_ + frameMs;
  av_frame_unref(frame_);
  return true;
}

bool MovieDecoder::ReceiveSound() {
  if (audioDrained_) return false;
  int result = avcodec_receive_frame(audioDecoder_, frame_);
  if (result == AVERROR_EOF) {
    audioDrained_ = true;
    converter_.Flush(audio_);
    return false;
  }
  if (result < 0) return false;
  int channels = frame_->ch_layout.nb_channels;
  if (frame_->format != audioFormat_ || channels != audioChannels_ || frame_->sample_rate != audioRate_) {
    converter_.Flush(audio_);
    SampleType type;
    SampleLayout layout;
    bool usable = ToPcmFormat(frame_->format, type, layout) &&
                  converter_.Configure({type, layout, channels, frame_->sample_rate}).empty();
    audioFormat_ = usable ? frame_->format : -2;
    audioChannels_ = channels;
    audioRate_ = frame_->sample_rate;
  }
  if (audioFormat_ >= 0) {
    // Keep the buffer from creeping: drop what has been read before appending.
    if (audioOffset_ > 0 && audioOffset_ * 2 >= audio_.size()) {
      audio_.erase(audio_.begin(), audio_.begin() + static_cast<ptrdiff_t>(audioOffset_));
      audioOffset_ = 0;
    }
    converter_.Convert(frame_->extended_data, static_cast<size_t>(frame_->nb_samples), audio_);
  }
  av_frame_unref(frame_);
  return true;
}

MovieStep MovieDecoder::Step() {
  if (!format_) return MovieStep::End;
  for (;;) {
    if (ReceivePicture()) return MovieStep::Picture;
    if (ReceiveSound()) return MovieStep::Sound;
    if (inputDone_) {
      // Flushed decoders give back what they hold, then report their end; one that gives
      // nothing more for another reason is finished all the same.
      if (!audioDrained_) converter_.Flush(audio_);
      videoDrained_ = audioDrained_ = true;
      return MovieStep::End;
    }
    int result = av_read_frame(format_, packet_);
    if (result < 0) {
      // The end of the file, or a read error: either way the decoders are flushed and it ends.
      inputDone_ = true;
      if (video_) avcodec_send_packet(video_, nullptr);
      if (audioDecoder_) avcodec_send_packet(audioDecoder_, nullptr);
      continue;
    }
    // A packet the decoder rejects (damaged) is skipped.
    if (packet_->stream_index == videoIndex_ && video_) avcodec_send_packet(video_, packet_);
    else if (packet_->stream_index == audioIndex_ && audioDecoder_) avcodec_send_packet(audioDecoder_, packet_);
    av_packet_unref(packet_);
  }
}

bool MovieDecoder::NextPicture() {
  for (;;) {
    switch (Step()) {
      case MovieStep::Picture: return true;
      case MovieStep::Sound: break;
      case MovieStep::End: return false;
    }
  }
}

size_t MovieDecoder::ReadAudio(int16_t* out, size_t frames) {
  size_t count = std::min(frames, BufferedAudioFrames());
  if (count == 0) return 0;
  std::memcpy(out, audio_.data() + audioOffset_, count * 2 * sizeof(int16_t));
  audioOffset_ += count * 2;
  if (audioOffset_ == audio_.size()) {
    audio_.clear();
    audioOffset_ = 0;
  }
  return count;
}

}  // namespace velmio
