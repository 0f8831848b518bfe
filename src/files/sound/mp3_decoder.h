#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/sound/pcm_converter.h"

struct mpg123_handle_struct;

namespace velmio {

// The fields of the platform's waveform format record.
struct WaveFormatRecord {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSecond = 0;
  uint32_t averageBytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

enum class Mp3DecodeResult : int { BlockReady = 0, NeedMoreInput = 1 };

// The MP3 decoder behind its four-call contract, over libmpg123's feed interface: InitMp3 when
// a stream starts, GetWaveFormat with the first input chunk, DecodeMp3 with each input chunk
// and then with no input until it asks for more, ExitMp3 when the stream ends.
//
// The output is always 44.1 kHz stereo 16-bit whatever the file's rate and channels, so that
// the mixer can play it as it comes. One stream at a time; the calls may come from different
// threads (priming, then the buffer callback) but never at the same time.
class Mp3Decoder {
 public:
  static constexpr size_t kInputChunkBytes = 2048;
  static constexpr size_t kOutputBlockBytes = 8192;

  Mp3Decoder() = default;
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;
  ~Mp3Decoder();

  void InitMp3();
  // Fills `format` with the PCM that DecodeMp3 produces. The chunk is not consumed: it is
  // handed to DecodeMp3 again as its first input.
  void GetWaveFormat(WaveFormatRecord& format, const uint8_t* firstChunk) const;
  // Takes `inputLength` bytes of the file (none with a null `input`) and writes up to
  // `outputSize` bytes of PCM, whole frames, setting `produced`. BlockReady when `produced` is
  // above 0; NeedMoreInput when nothing more comes out without more of the file. Garbage is
  // skipped, never an endless run of empty blocks.
  Mp3DecodeResult DecodeMp3(const uint8_t* input, size_t inputLength, uint8_t* output, size_t outputSize,
                            size_t* produced);
  void ExitMp3();

 private:
  size_t PendingBytes() const { return (pending_.size() - pendingOffset_) * sizeof(int16_t); }
  bool TakeFormat();

  mpg123_handle_struct* handle_ = nullptr;
  PcmConverter converter_;
  bool formatKnown_ = false;
  int channels_ = 0;
  std::vector<int16_t> pending_;  // converted, not handed out yet
  size_t pendingOffset_ = 0;
};

}  // namespace velmio
