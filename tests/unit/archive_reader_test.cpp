#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "base/encoding.h"
#include "files/archive_reader.h"
#include "unit/archive_builder.h"
#include "unit/game_folder.h"

namespace velmio {
namespace {

using testing::ArchiveKind;
using testing::ArchiveMembers;
using testing::BuildArchive;
using testing::BuildLzh;
using testing::GameFolder;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(ArchiveReader, UnsafeMemberNames) {
  for (const char* name : {"../x.bmp", "a/../../x.bmp", "a\\..\\x.bmp", "..", "/etc/passwd", "\\x.bmp", "C:x.bmp",
                           "c:\\x.bmp", ""})
    EXPECT_TRUE(UnsafeMemberName(name)) << name;
  for (const char* name : {"x.bmp", "dir/x.bmp", "dir\\x.bmp", "..x.bmp", "x..bmp", "a/..b/c", "1:x"})
    EXPECT_FALSE(UnsafeMemberName(name)) << name;
  // In an archive such members are never extracted, in any format.
  GameFolder folder;
  GameFolder::Write("evil.lzh", BuildLzh({{"..\\x.bmp", Bytes("escape")}, {"C:x.bmp", Bytes("drive")}}));
  GameFolder::Write("evil.tar", BuildArchive(ArchiveKind::Tar, {{"../x.bmp", Bytes("escape")}}));
  for (auto [file, member] : {std::pair{"evil.lzh", "..\\x.bmp"}, {"evil.lzh", "C:x.bmp"}, {"evil.tar", "../x.bmp"}})
    EXPECT_EQ(ExtractArchiveMember(file, member, "out.bin"), ArchiveResult::NotFound) << member;
  EXPECT_FALSE(std::filesystem::exists("out.bin") || std::filesystem::exists("../x.bmp"));
}

TEST(ArchiveReader, EveryFormatFindsItsMember) {
  GameFolder folder;
  const ArchiveMembers members = {{"first.txt", Bytes("one")}, {"pics/Face.BMP", Bytes("face bytes")}};
  struct Case {
    const char* file;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"data.zip", BuildArchive(ArchiveKind::Zip, members)},
      {"data.tar", BuildArchive(ArchiveKind::Tar, members)},
      {"data.7z", BuildArchive(ArchiveKind::SevenZip, members)},
      {"data.lzh", BuildLzh({{"first.txt", Bytes("one")}, {"pics\\Face.BMP", Bytes("face bytes")}})},
  };
  for (const Case& c : cases) {
    GameFolder::Write(c.file, c.bytes);
    std::remove("out.bin");
    // Folders are asked for with backslashes, and letter case does not matter.
    EXPECT_EQ(ExtractArchiveMember(c.file, "PICS\\face.bmp", "out.bin"), ArchiveResult::Extracted) << c.file;
    EXPECT_EQ(Contents("out.bin"), "face bytes") << c.file;
    EXPECT_EQ(ExtractArchiveMember(c.file, "face.bmp", "out.bin"), ArchiveResult::NotFound) << c.file;
  }
}

TEST(ArchiveReader, ShiftJisNamesMatchByteForByte) {
  GameFolder folder;
  // "表" ends in 0x5C, which must not be taken for a folder separator or case-folded.
  std::string name = Sjis("表情.bmp");
  GameFolder::Write("names.lzh", BuildLzh({{name, Bytes("sjis")}}));
  EXPECT_EQ(ExtractArchiveMember("names.lzh", name, "out.bin"), ArchiveResult::Extracted);
  EXPECT_EQ(Contents("out.bin"), "sjis");
  // A UTF-8 name in a zip is found by the Shift JIS name the scenario uses.
  GameFolder::Write("names.zip", BuildArchive(ArchiveKind::Zip, {{"表情.bmp", Bytes("utf8")}}));
  EXPECT_EQ(ExtractArchiveMember("names.zip", name, "out.bin"), ArchiveResult::Extracted);
  EXPECT_EQ(Contents("out.bin"), "utf8");
}

TEST(ArchiveReader, CorruptOrMissingArchives) {
  GameFolder folder;
  std::string problem;
  EXPECT_EQ(ExtractArchiveMember("missing.zip", "a", "out.bin", &problem), ArchiveResult::Unreadable);
  GameFolder::Write("noise.zip", Bytes(std::string(300, '\x17')));
  EXPECT_EQ(ExtractArchiveMember("noise.zip", "a", "out.bin"), ArchiveResult::Unreadable);
  // A member whose data is cut off leaves no partial file behind.
  std::vector<uint8_t> lzh = BuildLzh({{"a.bmp", Bytes(std::string(200, 'x'))}});
  lzh.resize(lzh.size() - 100);
  GameFolder::Write("cut.lzh", lzh);
  EXPECT_EQ(ExtractArchiveMember("cut.lzh", "a.bmp", "out.bin"), ArchiveResult::Unreadable);
  EXPECT_FALSE(std::filesystem::exists("out.bin"));
}

// A zip whose member is `zeros` bytes of zeros, written in blocks; with `declared` the local header
// states the size, else the member streams with the size only after its data.
std::vector<uint8_t> ZeroBomb(size_t zeros, bool declared) {
  return testing::WriteArchive(ArchiveKind::Zip, 4 << 20, [&](archive* writer) {
    testing::AddMember(writer, "bomb.bmp", declared ? static_cast<int64_t>(zeros) : -1, [&] {
      const std::vector<uint8_t> block(1 << 20);
      for (size_t written = 0; written < zeros; written += block.size())
        archive_write_data(writer, block.data(), std::min(block.size(), zeros - written));
    });
  });
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(ArchiveReader, BombsStopAtTheCapAndPipesAreRefused) {
  GameFolder folder;
  constexpr int64_t kCap = 1 << 20;
  for (bool declared : {true, false}) {
    GameFolder::Write("bomb.zip", ZeroBomb(size_t{64} << 20, declared));
    const long peakBefore = PeakKilobytes();
    std::string problem;
    EXPECT_EQ(ExtractArchiveMember("bomb.zip", "bomb.bmp", "out.bin", kCap, &problem), ArchiveResult::Unreadable);
    EXPECT_NE(problem.find("larger than 1048576 bytes"), std::string::npos) << problem;
    // Nothing is left behind, and the member was streamed rather than held.
    EXPECT_FALSE(std::filesystem::exists("out.bin"));
    EXPECT_LT(PeakKilobytes() - peakBefore, 16 * 1024);
  }
  // A streamed member of exactly the cap comes through; one byte more does not.
  GameFolder::Write("edge.zip", ZeroBomb(kCap, false));
  EXPECT_EQ(ExtractArchiveMember("edge.zip", "bomb.bmp", "edge.bin", kCap, nullptr), ArchiveResult::Extracted);
  GameFolder::Write("edge.zip", ZeroBomb(kCap + 1, false));
  EXPECT_EQ(ExtractArchiveMember("edge.zip", "bomb.bmp", "out.bin", kCap, nullptr), ArchiveResult::Unreadable);
  // The real cap still lets an ordinary member through.
  GameFolder::Write("small.zip", ZeroBomb(size_t{2} << 20, false));
  EXPECT_EQ(ExtractArchiveMember("small.zip", "bomb.bmp", "out.bin"), ArchiveResult::Extracted);
  EXPECT_EQ(std::filesystem::file_size("out.bin"), uintmax_t{2} << 20);
  // A named pipe is refused at once instead of blocking in open().
  ASSERT_EQ(mkfifo("pipe.zip", 0600), 0);
  std::string problem;
  EXPECT_EQ(ExtractArchiveMember("pipe.zip", "a", "out2.bin", &problem), ArchiveResult::Unreadable);
}

}  // namespace
}  // namespace velmio
