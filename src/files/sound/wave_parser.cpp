#include "files/sound/wave_parser.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "files/sound/audio_stream.h"
#include "files/sound/decoding_stream.h"
#include "files/sound/pcm_converter.h"

namespace velmio {

namespace {

uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Little32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Bytes per sample in the data: taken from the block size when that is consistent.
int ContainerBytes(const WaveHeader& header) {
  if (header.blockAlign > 0 && header.blockAlign % header.channels == 0) {
    int bytes = header.blockAlign / header.channels;
    if (bytes >= 1 && bytes <= 8 && bytes * 8 >= header.bitsPerSample) return bytes;
  }
  return (header.bitsPerSample + 7) / 8;
}

std::string DescribeFormat(const WaveHeader& header, int bytes) {
  if (header.formatTag == kWaveFormatFloat) {
    if (bytes == 4 || bytes == 8) return {};
    return std::to_string(header.bitsPerSample) + "-bit float samples cannot be played";
  }
  if (bytes >= 1 && bytes <= 4) return {};
  return std::to_string(header.bitsPerSample) + "-bit samples cannot be played";
}

}  // namespace

bool IsRiffWave(std::span<const uint8_t> file) {
  return file.size() >= 12 && (std::memcmp(file.data(), "RIFF", 4) == 0 || std::memcmp(file.data(), "RF64", 4) == 0) &&
         std::memcmp(file.data() + 8, "WAVE", 4) == 0;
}

WaveParse ParseWave(std::span<const uint8_t> file) {
  WaveParse parse;
  if (file.size() < 12) return {{}, "the file is too short for a RIFF header"};
  if (!IsRiffWave(file)) return {{}, "not a RIFF WAVE file"};
  // RF64, the WAVE of more than 4 GB, keeps the real sizes in a ds64 chunk.
  WaveHeader& header = parse.header;
  bool haveFormat = false;
  bool haveData = false;
  uint64_t longDataSize = 0;  // from an RF64 file's ds64 chunk
  // The RIFF size is often wrong; the chunks are walked to the end of the bytes present.
  uint64_t offset = 12;
  while (offset + 8 <= file.size() && !(haveFormat && haveData)) {
    const uint8_t* chunk = file.data() + offset;
    uint64_t claimed = Little32(chunk + 4);
    uint64_t body = offset + 8;
    if (std::memcmp(chunk, "data", 4) == 0 && claimed == 0xFFFFFFFF && longDataSize > 0) claimed = longDataSize;
    size_t length = static_cast<size_t>(std::min<uint64_t>(claimed, file.size() - body));
    const uint8_t* bytes = file.data() + body;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
      if (length < 16) return {{}, "the fmt chunk is cut short"};
      header.formatTag = Little16(bytes);
      header.channels = Little16(bytes + 2);
      header.rate = static_cast<int>(std::min<uint32_t>(Little32(bytes + 4), INT32_MAX));
      header.blockAlign = Little16(bytes + 12);
      header.bitsPerSample = Little16(bytes + 14);
      if (header.formatTag == kWaveFormatExtensible) {
        if (length < 40) return {{}, "the extensible fmt chunk is cut short"};
        header.formatTag = Little16(bytes + 24);  // the first two bytes of the sub-format GUID
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "ds64", 4) == 0 && length >= 16) {
      longDataSize = Little32(bytes + 8) | (uint64_t{Little32(bytes + 12)} << 32);
    } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
      header.data = std::span<const uint8_t>(bytes, length);
      haveData = true;
    }
    if (claimed >= file.size() - body) break;  // the chunk reaches the end of the file
    offset = body + claimed + (claimed & 1);   // chunks are padded to an even size
  }
  if (!haveFormat) return {{}, "the fmt chunk is missing"};
  if (!haveData) return {{}, "the data chunk is missing"};
  if (header.channels == 0) return {{}, "the fmt chunk gives no channels"};
  if (header.rate == 0) return {{}, "the fmt chunk gives no sample rate"};
  if (header.formatTag == kWaveFormatPcm || header.formatTag == kWaveFormatFloat) {
    size_t block = static_cast<size_t>(ContainerBytes(header)) * header.channels;
    if (block == 0) return {{}, "the fmt chunk gives no sample size"};
    header.data = header.data.first(header.data.size() / block * block);
  }
  return parse;
}

DecodedSound DecodeWave(std::span<const uint8_t> file, std::string_view name) {
  DecodedSound sound;
  auto fail = [&](const std::string& problem) {
    sound.samples.clear();
    sound.error = std::string(name) + ": " + problem;
    return std::move(sound);
  };
  WaveParse parse = ParseWave(file);
  if (!parse.Ok()) return fail(parse.error);
  const WaveHeader& header = parse.header;
  if (header.formatTag == kWaveFormatMpegLayer3)
    return ReadToEnd(OpenMpg123Stream(std::make_unique<MemoryReader>(header.data), name), name);
  if (header.formatTag != kWaveFormatPcm && header.formatTag != kWaveFormatFloat)
    return DecodeWhole(std::make_unique<MemoryReader>(file), name);

  int bytes = ContainerBytes(header);
  std::string problem = DescribeFormat(header, bytes);
  if (!problem.empty()) return fail(problem);
  PcmFormat format;
  format.channels = header.channels;
  format.rate = header.rate;
  format.type = header.formatTag == kWaveFormatFloat ? (bytes == 8 ? SampleType::Double : SampleType::Float)
              : bytes == 1                           ? SampleType::UnsignedByte
              : bytes == 2                           ? SampleType::Short
                                                     : SampleType::Int;
  PcmConverter converter;
  problem = converter.Configure(format);
  if (!problem.empty()) return fail(problem);

  size_t samples = header.data.size() / bytes;
  size_t frames = samples / header.channels;
  if (frames > kWholeDecodeLimitFrames) return fail("longer than a sound decoded whole may be");
  // Samples go to the converter in their own type, aligned: 24-bit ones widened to 32 bits.
  std::vector<uint8_t> aligned;
  const uint8_t* input = header.data.data();
  if (bytes == 3) {
    aligned.resize(samples * 4);
    for (size_t i = 0; i < samples; ++i) {
      const uint8_t* p = input + 3 * i;
      uint32_t value = (uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 24);
      std::memcpy(aligned.data() + 4 * i, &value, 4);
    }
    input = aligned.data();
  } else if (reinterpret_cast<uintptr_t>(input) % bytes != 0) {
    aligned.assign(input, input + samples * bytes);
    input = aligned.data();
  }
  sound.samples.reserve(converter.OutputFrames(frames) * kPcmChannels);
  converter.Convert(&input, frames, sound.samples);
  converter.Flush(sound.samples);
  return sound;
}

}  // namespace velmio
