#include "files/sound/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "files/sound/decoded_sound.h"

namespace velmio {

namespace {

constexpr size_t kHeaderBytes = 44;
constexpr uint32_t kBytesPerFrame = kPcmChannels * sizeof(int16_t);

void Put16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* p, uint32_t value) {
  Put16(p, value & 0xFFFF);
  Put16(p + 2, value >> 16);
}

void BuildHeader(uint8_t* header, uint64_t frames) {
  // Sizes beyond what 32 bits hold (six hours and more) are capped; readers take the data to
  // the end of the file.
  uint64_t data = std::min<uint64_t>(frames * kBytesPerFrame, 0xFFFFFFFFu - 36);
  std::memcpy(header, "RIFF", 4);
  Put32(header + 4, static_cast<uint32_t>(data + 36));
  std::memcpy(header + 8, "WAVEfmt ", 8);
  Put32(header + 16, 16);
  Put16(header + 20, 1);  // PCM
  Put16(header + 22, kPcmChannels);
  Put32(header + 24, kPcmRate);
  Put32(header + 28, kPcmRate * kBytesPerFrame);
  Put16(header + 32, kBytesPerFrame);
  Put16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  Put32(header + 40, static_cast<uint32_t>(data));
}

}  // namespace

std::string WavWriter::Open(const std::string& path) {
  Close();
  path_ = path;
  frames_ = 0;
  failed_ = false;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return path + ": cannot be written (" + std::strerror(errno) + ")";
  uint8_t header[kHeaderBytes];
  BuildHeader(header, 0);
  failed_ = std::fwrite(header, 1, sizeof header, file_) != sizeof header;
  return {};
}

void WavWriter::Write(const int16_t* samples, size_t frames) {
  if (!file_ || frames == 0) return;
  // The file is little-endian, like the machines this runs on.
  static_assert(std::endian::native == std::endian::little);
  size_t count = frames * kPcmChannels;
  if (std::fwrite(samples, sizeof(int16_t), count, file_) != count) failed_ = true;
  frames_ += frames;
}

std::string WavWriter::Close() {
  if (!file_) return {};
  uint8_t header[kHeaderBytes];
  BuildHeader(header, frames_);
  if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(header, 1, sizeof header, file_) != sizeof header) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return failed_ ? path_ + ": the sound could not be written completely" : std::string();
}

}  // namespace velmio
