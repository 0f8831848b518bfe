#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/sound/byte_reader.h"
#include "files/sound/decoded_sound.h"

namespace velmio {

// A sound file decoded a block at a time into 44.1 kHz stereo 16-bit, for music too long to
// decode whole (the CD tracks). Not for the audio thread: reading may touch the disk.
class AudioStream {
 public:
  virtual ~AudioStream() = default;
  // Writes up to `frames` frames to `out`; fewer only at the end, 0 once it is over.
  virtual size_t Read(int16_t* out, size_t frames) = 0;
  // Back to the beginning; false when the file cannot seek.
  virtual bool Rewind() = 0;
  // Why the stream ended before the end of the file; empty when it did not.
  virtual const std::string& Error() const = 0;
};

struct OpenedStream {
  std::unique_ptr<AudioStream> stream;  // null on failure
  std::string error;                    // UTF-8, names the file
};

// Ogg Vorbis, FLAC, WAVE, AIFF and the rest of libsndfile's formats, and MP3 through libmpg123,
// chosen by the file's first bytes (and an "mp3" extension in `name`).
OpenedStream OpenAudioStream(const std::string& path);
OpenedStream OpenAudioStream(std::shared_ptr<const std::vector<uint8_t>> file, std::string_view name);
OpenedStream OpenAudioStream(std::unique_ptr<ByteReader> reader, std::string_view name);

// Longest sound DecodeSound turns into one buffer: ten minutes. Longer ones stream.
inline constexpr size_t kWholeDecodeLimitFrames = size_t{kPcmRate} * 600;

// The whole file at once (effects and voices); WAVE through our own parser.
DecodedSound DecodeSound(std::span<const uint8_t> file, std::string_view name);
// Reads a stream opened on `reader` to its end.
DecodedSound DecodeWhole(std::unique_ptr<ByteReader> reader, std::string_view name);

}  // namespace velmio
