#include "files/sound/byte_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "files/file_reading.h"

namespace velmio {

int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, int whence) {
  int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? position : whence == SEEK_END ? size : -1;
  if (base < 0) return -1;
  if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) return -1;
  int64_t target = base + offset;
  return target < 0 || target > size ? -1 : target;
}

MemoryReader::MemoryReader(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner)
    : bytes_(bytes), owner_(std::move(owner)) {}

int64_t MemoryReader::Seek(int64_t offset, int whence) {
  int64_t target = SeekTarget(Tell(), Size(), offset, whence);
  if (target >= 0) position_ = static_cast<size_t>(target);
  return target;
}

size_t MemoryReader::Read(void* out, size_t bytes) {
  size_t count = std::min(bytes, bytes_.size() - position_);
  if (count == 0) return 0;
  std::memcpy(out, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

std::unique_ptr<FileReader> FileReader::Open(const std::string& path) {
  // Regular files only: a named pipe would block in open() and a device never end.
  int descriptor = OpenRegularFile(path);
  if (descriptor < 0) return nullptr;
  std::FILE* file = fdopen(descriptor, "rb");
  if (!file) {
    close(descriptor);
    return nullptr;
  }
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<FileReader>(new FileReader(file, size));
}

FileReader::~FileReader() { std::fclose(file_); }

int64_t FileReader::Tell() const { return std::ftell(file_); }

int64_t FileReader::Seek(int64_t offset, int whence) {
  int64_t target = SeekTarget(Tell(), size_, offset, whence);
  if (target < 0 || std::fseek(file_, static_cast<long>(target), SEEK_SET) != 0) return -1;
  return target;
}

size_t FileReader::Read(void* out, size_t bytes) { return std::fread(out, 1, bytes, file_); }

}  // namespace velmio
