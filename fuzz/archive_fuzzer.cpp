// Feeds arbitrary bytes as an archive to the extraction path, with a small member cap so that
// decompression bombs are cut short, and checks that nothing larger than the cap is left behind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmio;
  constexpr int64_t kCap = 1 << 20;
  static const std::string folder = "/tmp/velmio-archive-fuzz-" + std::to_string(getpid()) + "/";
  static const bool made = std::filesystem::create_directories(folder) || true;
  (void)made;
  const std::string archive = folder + "data.arc";
  const std::string member = folder + "out.bin";
  std::ofstream(archive, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  std::string problem;
  for (const char* name : {"a.bmp", "A.BMP", "dir\\a.bmp"}) {
    if (ExtractArchiveMember(archive, name, member, kCap, &problem) != ArchiveResult::Extracted) continue;
    std::error_code error;
    if (std::filesystem::file_size(member, error) > static_cast<uintmax_t>(kCap)) __builtin_trap();
    std::filesystem::remove(member, error);
  }
  return 0;
}
