#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/sound/audio_stream.h"
#include "files/sound/pcm_converter.h"

namespace velmio {

// What the library-specific streams share: the converter to 44.1 kHz stereo and the frames
// converted but not read yet.
class DecodingStream : public AudioStream {
 public:
  size_t Read(int16_t* out, size_t frames) override;
  bool Rewind() override;
  const std::string& Error() const override { return error_; }

 protected:
  DecodingStream(std::unique_ptr<ByteReader> reader, std::string_view name)
      : reader_(std::move(reader)), name_(name) {}
  // Decodes the next piece of the file into `out` through converter_; false at the end.
  virtual bool DecodeMore(std::vector<int16_t>& out) = 0;
  virtual bool SeekToStart() = 0;
  // Sets the error (prefixed with the file's name) and returns false.
  bool Fail(const std::string& problem);

  std::unique_ptr<ByteReader> reader_;
  std::string name_;
  PcmConverter converter_;
  std::string error_;

 private:
  std::vector<int16_t> pending_;
  size_t pendingOffset_ = 0;  // samples of pending_ already read
  bool ended_ = false;
};

// Everything the stream holds, as one sound (or the stream's error).
DecodedSound ReadToEnd(OpenedStream opened, std::string_view name);

OpenedStream OpenSndfileStream(std::unique_ptr<ByteReader> reader, std::string_view name);
OpenedStream OpenMpg123Stream(std::unique_ptr<ByteReader> reader, std::string_view name);

}  // namespace velmio
