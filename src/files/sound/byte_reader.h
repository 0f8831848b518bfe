#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmio {

// A file's bytes with a read position, for the decoding libraries' read and seek callbacks.
// Reads past the end come back short; a seek outside the bytes fails and leaves the position.
class ByteReader {
 public:
  virtual ~ByteReader() = default;
  virtual int64_t Size() const = 0;
  virtual int64_t Tell() const = 0;
  // `whence` as for fseek. Returns the new position, or -1.
  virtual int64_t Seek(int64_t offset, int whence) = 0;
  virtual size_t Read(void* out, size_t bytes) = 0;
};

// Bytes in memory; `owner` (may be null) keeps them alive as long as the reader.
class MemoryReader : public ByteReader {
 public:
  MemoryReader(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner = nullptr);
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  int64_t Tell() const override { return static_cast<int64_t>(position_); }
  int64_t Seek(int64_t offset, int whence) override;
  size_t Read(void* out, size_t bytes) override;

 private:
  std::span<const uint8_t> bytes_;
  std::shared_ptr<const void> owner_;
  size_t position_ = 0;
};

// A file on disk, read as it plays.
class FileReader : public ByteReader {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<FileReader> Open(const std::string& path);
  ~FileReader() override;
  int64_t Size() const override { return size_; }
  int64_t Tell() const override;
  int64_t Seek(int64_t offset, int whence) override;
  size_t Read(void* out, size_t bytes) override;

 private:
  FileReader(std::FILE* file, int64_t size) : file_(file), size_(size) {}
  std::FILE* file_;
  int64_t size_;
};

// The new position for a seek in bytes of `size`, or -1 when it falls outside them.
int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, int whence);

}  // namespace velmio
