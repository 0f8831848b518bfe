// MP3 through libmpg123, reading with the handle reader over a ByteReader.
#include <sys/types.h>

#include <mutex>

#include "files/sound/decoding_stream.h"
#include "files/sound/mpg123_setup.h"

namespace velmio {

mpg123_handle* NewMpg123Handle() {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (!handle) return nullptr;
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  return handle;
}

namespace {

mpg123_ssize_t ReadBytes(void* user, void* out, size_t bytes) {
  return static_cast<mpg123_ssize_t>(static_cast<ByteReader*>(user)->Read(out, bytes));
}
off_t SeekBytes(void* user, off_t offset, int whence) {
  return static_cast<off_t>(static_cast<ByteReader*>(user)->Seek(offset, whence));
}

class Mpg123Stream : public DecodingStream {
 public:
  Mpg123Stream(std::unique_ptr<ByteReader> reader, std::string_view name) : DecodingStream(std::move(reader), name) {}
  ~Mpg123Stream() override {
    if (handle_) {
      mpg123_close(handle_);
      mpg123_delete(handle_);
    }
  }

  std::string Open() {
    handle_ = NewMpg123Handle();
    if (!handle_) return name_ + ": the MP3 decoder cannot start";
    if (mpg123_replace_reader_handle(handle_, ReadBytes, SeekBytes, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle_, reader_.get()) != MPG123_OK)
      return name_ + ": " + mpg123_strerror(handle_);
    // The format of the first frame: a file with none is not MP3.
    if (!TakeFormat()) return error_;
    return {};
  }

 protected:
  bool DecodeMore(std::vector<int16_t>& out) override {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    int result = mpg123_decode_frame(handle_, &frameNumber, &audio, &bytes);
    if (result == MPG123_NEW_FORMAT) {
      converter_.Flush(out);
      return TakeFormat();
    }
    if (result == MPG123_OK) {
      const uint8_t* input = audio;
      converter_.Convert(&input, bytes / (sizeof(int16_t) * static_cast<size_t>(channels_)), out);
      return true;
    }
    if (result != MPG123_DONE && result != MPG123_NEED_MORE) Fail(mpg123_strerror(handle_));
    return false;
  }

  bool SeekToStart() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

 private:
  bool TakeFormat() {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) return Fail("not an MP3 file");
    channels_ = channels;
    std::string problem = converter_.Configure({SampleType::Short, SampleLayout::Interleaved, channels, static_cast<int>(rate)});
    return problem.empty() || Fail(problem);
  }

  mpg123_handle* handle_ = nullptr;
  int channels_ = 1;
};

}  // namespace

OpenedStream OpenMpg123Stream(std::unique_ptr<ByteReader> reader, std::string_view name) {
  auto stream = std::make_unique<Mpg123Stream>(std::move(reader), name);
  std::string error = stream->Open();
  if (!error.empty()) return {nullptr, error};
  return {std::move(stream), {}};
}

}  // namespace velmio
