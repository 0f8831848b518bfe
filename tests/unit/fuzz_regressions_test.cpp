// Replays the inputs kept from fuzzing (crashes found, and the merged corpora that cover the
// readers' branches; see tests/fuzz-regressions/README.md). Under the sanitizers any
// out-of-bounds access fails the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/archive_reader.h"
#include "fuzz/play_scenario.h"
#include "files/bmp_reader.h"
#include "files/picture_header.h"
#include "files/sound/audio_stream.h"
#include "files/sound/mp3_decoder.h"
#include "files/sound/wave_parser.h"
#include "graphics/display_tag.h"
#include "graphics/picture_loader.h"
#include "graphics/surface.h"
#include "persist/global_files.h"
#include "persist/state_record.h"
#include "unit/game_folder.h"
#include "unit/sound_test_support.h"
#include "unit/test_engine.h"

namespace velmio {
namespace {

using Input = std::vector<uint8_t>;

// Every input kept for one fuzz target: single files as they are, .corpus files unpacked from
// records of a 32-bit little-endian length and that many bytes. None at all fails the test.
std::vector<Input> KeptInputs(const std::string& kind) {
  std::vector<Input> inputs;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(testing::TestsFolder() / "fuzz-regressions" / kind, error)) {
    Input bytes = testing::ReadBytes(entry.path());
    if (entry.path().extension() != ".corpus") {
      inputs.push_back(std::move(bytes));
      continue;
    }
    for (size_t offset = 0; offset + 4 <= bytes.size();) {
      uint32_t length = bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (uint32_t{bytes[offset + 3]} << 24);
      offset += 4;
      if (length > bytes.size() - offset) break;
      inputs.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(offset), bytes.begin() + static_cast<ptrdiff_t>(offset + length));
      offset += length;
    }
  }
  EXPECT_FALSE(inputs.empty()) << kind;
  return inputs;
}

TEST(FuzzRegressions, BmpReader) {
  int accepted = 0;
  for (const Input& input : KeptInputs("bmp")) {
    std::span<const uint8_t> bytes(input);
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
  for (const Input& input : KeptInputs("tag")) {
    TagParse parse = ParsePictureDescriptor(std::string(input.begin(), input.end()));
    if (parse.error == TagError::None && parse.tag.hasAnimation) {
      EXPECT_GE(parse.tag.cells, 1);
      if (parse.tag.interval != -1) continue;
      EXPECT_EQ(parse.tag.intervals.size(), static_cast<size_t>(parse.tag.cells));
    }
  }
}

// The first byte picks the format the name asks for, as in picture_header_fuzzer; the inputs kept
// are headers claiming far more than the limit.
TEST(FuzzRegressions, PictureHeaders) {
  static const char* const kTypes[] = {"TGA", "PNG", "JPG", "GIF", "BMP", "PNM", "PCX", "TIF", "QOI", "WEBP", "LBM", "XPM"};
  for (const Input& input : KeptInputs("picture")) {
    if (input.empty()) continue;
    EXPECT_FALSE(PictureHeaderAcceptable(std::span(input).subspan(1), kTypes[input[0] % std::size(kTypes)]));
  }
}

// As archive_fuzzer: a 1 MB cap, and nothing bigger may be left behind.
TEST(FuzzRegressions, ArchiveExtraction) {
  testing::GameFolder folder;
  for (const Input& input : KeptInputs("archive")) {
    testing::GameFolder::Write("data.arc", input);
    ExtractArchiveMember("data.arc", "a.bmp", "out.bin", 1 << 20, nullptr);
    EXPECT_FALSE(std::filesystem::exists("out.bin") && std::filesystem::file_size("out.bin") > (uintmax_t{1} << 20));
  }
}

// The save file's record (first byte even), "gloval.sav" and "Velmflog.dat" (odd), as the
// fuzzer feeds them; the snapshot retaken from what was read.
TEST(FuzzRegressions, SaveFileReaders) {
  testing::TestEngine t;
  t.Load("*define\ngame\n*start\nwait 1\n");
  t.engine.pictureLog.enabled = true;
  for (const Input& input : KeptInputs("save")) {
    if (input.empty()) continue;
    std::span<const uint8_t> bytes = std::span(input).subspan(1);
    if ((input[0] & 1) == 0) {
      ReadStateRecord(t.engine, bytes);
      TakeSnapshot(t.engine);
      ASSERT_LE(t.engine.script.position, t.engine.script.Length());
      ASSERT_EQ(t.engine.persist.snapshot.Bytes(), WholeStateRecord(t.engine));
    } else {
      DecodeGlobals(bytes, t.engine.script.variables);
      DecodePictureLog(bytes, t.engine.pictureLog);
    }
  }
}

TEST(FuzzRegressions, WaveReader) {
  int decoded = 0;
  for (const Input& input : KeptInputs("wave")) {
    DecodedSound sound = DecodeWave(input, "kept.wav");
    EXPECT_EQ(sound.samples.size() % 2, 0u);
    decoded += sound.Ok() && !sound.samples.empty();
  }
  EXPECT_GT(decoded, 0);
}

// The first byte chooses the size of the chunks the rest is fed in.
TEST(FuzzRegressions, Mp3Decoder) {
  Mp3Decoder decoder;
  for (const Input& input : KeptInputs("mp3")) {
    if (input.empty()) continue;
    size_t chunk = 1 + static_cast<size_t>(input[0]) * Mp3Decoder::kInputChunkBytes / 256;
    EXPECT_TRUE(testing::DecodeMp3InChunks(decoder, std::span(input).subspan(1), chunk).blocksWellFormed);
  }
}

// Scenarios run with every subsystem, inside a throw-away game folder (they may write saves).
TEST(FuzzRegressions, Scenarios) {
  const std::vector<Input> inputs = KeptInputs("scenario");
  testing::GameFolder folder;
  for (const Input& input : inputs) PlayFuzzedScenario(input.data(), input.size());
}

}  // namespace
}  // namespace velmio
