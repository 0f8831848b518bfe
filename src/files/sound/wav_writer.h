#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace velmio {

// Writes 16-bit stereo 44,100 Hz sound to a WAVE file as it comes (everything the mixer played,
// for --audio-out). The sizes in the header are filled in by Close.
class WavWriter {
 public:
  WavWriter() = default;
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;
  ~WavWriter() { Close(); }

  // Empty when the file is open for writing, else why not (UTF-8, naming the file).
  std::string Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(const int16_t* samples, size_t frames);
  uint64_t FramesWritten() const { return frames_; }
  // Completes the header and closes the file; empty when everything reached the disk.
  std::string Close();

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  uint64_t frames_ = 0;
  bool failed_ = false;
};

}  // namespace velmio
