// Every format libsndfile reads, through its virtual I/O over a ByteReader.
#include <sndfile.h>

#include "files/sound/decoding_stream.h"

namespace velmio {

namespace {

ByteReader& Reader(void* user) { return *static_cast<ByteReader*>(user); }

sf_count_t VirtualLength(void* user) { return Reader(user).Size(); }
sf_count_t VirtualSeek(sf_count_t offset, int whence, void* user) {
  ByteReader& reader = Reader(user);
  int64_t target = reader.Seek(offset, whence);
  return target < 0 ? reader.Tell() : target;
}
sf_count_t VirtualRead(void* out, sf_count_t bytes, void* user) {
  return bytes <= 0 ? 0 : static_cast<sf_count_t>(Reader(user).Read(out, static_cast<size_t>(bytes)));
}
sf_count_t VirtualWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t VirtualTell(void* user) { return Reader(user).Tell(); }

class SndfileStream : public DecodingStream {
 public:
  SndfileStream(std::unique_ptr<ByteReader> reader, std::string_view name) : DecodingStream(std::move(reader), name) {}
  ~SndfileStream() override {
    if (file_) sf_close(file_);
  }

  std::string Open() {
    SF_VIRTUAL_IO io{VirtualLength, VirtualSeek, VirtualRead, VirtualWrite, VirtualTell};
    SF_INFO info{};
    file_ = sf_open_virtual(&io, SFM_READ, &info, reader_.get());
    if (!file_) return name_ + ": " + sf_strerror(nullptr);
    channels_ = info.channels;
    std::string problem = converter_.Configure({SampleType::Float, SampleLayout::Interleaved, info.channels, info.samplerate});
    if (!problem.empty()) return name_ + ": " + problem;
    buffer_.resize(kPieceFrames * static_cast<size_t>(channels_));
    return {};
  }

 protected:
  bool DecodeMore(std::vector<int16_t>& out) override {
    sf_count_t frames = sf_readf_float(file_, buffer_.data(), kPieceFrames);
    if (frames <= 0) {
      if (sf_error(file_) != SF_ERR_NO_ERROR) Fail(sf_strerror(file_));
      return false;
    }
    const uint8_t* input = reinterpret_cast<const uint8_t*>(buffer_.data());
    converter_.Convert(&input, static_cast<size_t>(frames), out);
    return true;
  }

  bool SeekToStart() override { return sf_seek(file_, 0, SEEK_SET) == 0; }

 private:
  static constexpr sf_count_t kPieceFrames = 4096;
  SNDFILE* file_ = nullptr;
  int channels_ = 0;
  std::vector<float> buffer_;
};

}  // namespace

OpenedStream OpenSndfileStream(std::unique_ptr<ByteReader> reader, std::string_view name) {
  auto stream = std::make_unique<SndfileStream>(std::move(reader), name);
  std::string error = stream->Open();
  if (!error.empty()) return {nullptr, error};
  return {std::move(stream), {}};
}

}  // namespace velmio
