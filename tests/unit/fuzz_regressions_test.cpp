// Replays the inputs kept from fuzzing the BMP reader and the display-tag parser (crashes found,
// and the merged corpus that covers their branches; see tests/fuzz-regressions/README.md). Under
// the sanitizers any out-of-bounds access fails the run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/archive_reader.h"
#include "files/bmp_reader.h"
#include "files/picture_header.h"
#include "graphics/display_tag.h"
#include "graphics/picture_loader.h"
#include "graphics/surface.h"
#include "unit/game_folder.h"
#include "persist/global_files.h"
#include "persist/state_record.h"
#include "test_engine.h"

namespace velmio {
namespace {

std::vector<std::string> InputsIn(const std::string& kind) {
  // ctest names the tests folder; run by hand, it is found beside this file.
  const char* data = std::getenv("VELMIO_TEST_DATA");
  std::filesystem::path tests =
      data != nullptr ? std::filesystem::path(data) : std::filesystem::path(__FILE__).parent_path().parent_path();
  std::filesystem::path folder = tests / "fuzz-regressions" / kind;
  std::vector<std::string> inputs;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (entry.path().extension() != ".corpus") {
      inputs.push_back(std::move(bytes));
      continue;
    }
    // Packed records: a 32-bit little-endian length, then the input.
    size_t offset = 0;
    while (offset + 4 <= bytes.size()) {
      uint32_t length = 0;
      for (int i = 0; i < 4; ++i) length |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
      offset += 4;
      if (length > bytes.size() - offset) break;
      inputs.push_back(bytes.substr(offset, length));
      offset += length;
    }
  }
  return inputs;
}

TEST(FuzzRegressions, BmpReader) {
  std::vector<std::string> inputs = InputsIn("bmp");
  EXPECT_FALSE(inputs.empty());
  int accepted = 0;
  for (const std::string& input : inputs) {
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    DecodedPicture picture;
    if (DecodeBmp(bytes, picture)) {
      ++accepted;
      ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(picture.Stride()) * picture.height);
      Surface surface;
      EXPECT_TRUE(AdoptDecodedPicture(picture, surface));
    }
    if (bytes.size() > 1) {
      size_t split = bytes[0] % bytes.size();
      DecodeDib(bytes.subspan(1, split), bytes.subspan(1 + split), picture);
    }
  }
  EXPECT_GT(accepted, 0);
}

TEST(FuzzRegressions, DisplayTag) {
  std::vector<std::string> inputs = InputsIn("tag");
  EXPECT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    TagParse parse = ParsePictureDescriptor(input);
    if (parse.error == TagError::None && parse.tag.hasAnimation) {
      EXPECT_GE(parse.tag.cells, 1);
      if (parse.tag.interval == -1) EXPECT_EQ(parse.tag.intervals.size(), static_cast<size_t>(parse.tag.cells));
    }
  }
}

// The first byte picks the format the name asks for, as in picture_header_fuzzer; the inputs kept
// are headers claiming far more than the limit.
TEST(FuzzRegressions, PictureHeaders) {
  static const char* const kTypes[] = {"TGA", "PNG", "JPG", "GIF", "BMP", "PNM", "PCX", "TIF", "QOI", "WEBP", "LBM", "XPM"};
  std::vector<std::string> inputs = InputsIn("picture");
  EXPECT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    if (input.empty()) continue;
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    EXPECT_FALSE(PictureHeaderAcceptable(bytes.subspan(1), kTypes[bytes[0] % std::size(kTypes)]));
  }
}

// As archive_fuzzer: a 1 MB cap, and nothing bigger may be left behind.
TEST(FuzzRegressions, ArchiveExtraction) {
  testing::GameFolder folder;
  std::vector<std::string> inputs = InputsIn("archive");
  EXPECT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    testing::GameFolder::Write("data.arc", input);
    if (ExtractArchiveMember("data.arc", "a.bmp", "out.bin", 1 << 20, nullptr) == ArchiveResult::Extracted)
      EXPECT_LE(std::filesystem::file_size("out.bin"), uintmax_t{1} << 20);
    EXPECT_FALSE(std::filesystem::exists("out.bin") && std::filesystem::file_size("out.bin") > (uintmax_t{1} << 20));
  }
}

// The save file's record (first byte even), "gloval.sav" and "Velmflog.dat" (odd), as the
// fuzzer feeds them; the snapshot retaken from what was read.
TEST(FuzzRegressions, SaveFileReaders) {
  std::vector<std::string> inputs = InputsIn("save");
  EXPECT_FALSE(inputs.empty());
  testing::TestEngine t;
  t.Load("*define\ngame\n*start\nwait 1\n");
  t.engine.pictureLog.enabled = true;
  for (const std::string& input : inputs) {
    if (input.empty()) continue;
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(input.data()) + 1, input.size() - 1);
    if ((input[0] & 1) == 0) {
      ReadStateRecord(t.engine, bytes);
      TakeSnapshot(t.engine);
      ASSERT_LE(t.engine.script.position, t.engine.script.Length());
    } else {
      DecodeGlobals(bytes, t.engine.script.variables);
      DecodePictureLog(bytes, t.engine.pictureLog);
    }
  }
}

}  // namespace
}  // namespace velmio
