#include "files/sound/audio_stream.h"

#include <cstring>

#include "files/sound/decoding_stream.h"
#include "files/sound/wave_parser.h"

namespace velmio {

namespace {

bool EndsWithMp3(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view end = name.substr(name.size() - 4);
  return end[0] == '.' && (end[1] | 0x20) == 'm' && (end[2] | 0x20) == 'p' && end[3] == '3';
}

// An ID3v2 tag, or an MPEG audio frame header right at the start.
bool LooksLikeMp3(const uint8_t* head, size_t length) {
  if (length >= 3 && std::memcmp(head, "ID3", 3) == 0) return true;
  return length >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
}

}  // namespace

OpenedStream OpenAudioStream(std::unique_ptr<ByteReader> reader, std::string_view name) {
  uint8_t head[4] = {};
  size_t length = reader->Read(head, sizeof head);
  if (reader->Seek(0, SEEK_SET) != 0) return {nullptr, std::string(name) + ": the file cannot be read"};
  if (LooksLikeMp3(head, length) || (EndsWithMp3(name) && length >= 4 && std::memcmp(head, "RIFF", 4) != 0))
    return OpenMpg123Stream(std::move(reader), name);
  return OpenSndfileStream(std::move(reader), name);
}

OpenedStream OpenAudioStream(const std::string& path) {
  std::unique_ptr<FileReader> reader = FileReader::Open(path);
  if (!reader) return {nullptr, path + ": the file cannot be opened"};
  return OpenAudioStream(std::move(reader), path);
}

OpenedStream OpenAudioStream(std::shared_ptr<const std::vector<uint8_t>> file, std::string_view name) {
  if (!file) return {nullptr, std::string(name) + ": no file"};
  std::span<const uint8_t> bytes(*file);
  return OpenAudioStream(std::make_unique<MemoryReader>(bytes, std::move(file)), name);
}

DecodedSound ReadToEnd(OpenedStream opened, std::string_view name) {
  DecodedSound sound;
  if (!opened.stream) {
    sound.error = std::move(opened.error);
    return sound;
  }
  constexpr size_t kPiece = 16384;
  for (;;) {
    size_t start = sound.samples.size();
    sound.samples.resize(start + kPiece * kPcmChannels);
    size_t frames = opened.stream->Read(sound.samples.data() + start, kPiece);
    sound.samples.resize(start + frames * kPcmChannels);
    if (frames == 0) break;
    if (sound.Frames() > kWholeDecodeLimitFrames) {
      sound.samples = {};
      sound.error = std::string(name) + ": longer than a sound decoded whole may be";
      return sound;
    }
  }
  // A file cut short plays what it has; only one that gave nothing is an error.
  if (sound.samples.empty()) sound.error = opened.stream->Error();
  return sound;
}

DecodedSound DecodeWhole(std::unique_ptr<ByteReader> reader, std::string_view name) {
  return ReadToEnd(OpenAudioStream(std::move(reader), name), name);
}

DecodedSound DecodeSound(std::span<const uint8_t> file, std::string_view name) {
  if (IsRiffWave(file)) return DecodeWave(file, name);
  return DecodeWhole(std::make_unique<MemoryReader>(file), name);
}

}  // namespace velmio
