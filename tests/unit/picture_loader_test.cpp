#include <filesystem>

#include "files/png_writer.h"
#include "graphics/picture_loader.h"
#include "unit/archive_builder.h"
#include "unit/bmp_builder.h"
#include "unit/game_folder.h"
#include "unit/graphics_test_support.h"
#include "unit/test_engine.h"

namespace velmio::testing {
namespace {

std::vector<uint8_t> SolidBmp(int width, int height, uint32_t rgb) {
  BmpBuilder bmp(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bmp.SetRgb(x, y, rgb);
  return bmp.Build();
}

// A 3 x 2 PNG of one colour (rows of 9 bytes padded to 12).
void WriteSolidPng(const std::string& path, uint32_t rgb) {
  std::vector<uint8_t> pixels(24);
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < 3; ++x)
      for (int channel = 0; channel < 3; ++channel) pixels[12 * row + 3 * x + channel] = uint8_t(rgb >> (8 * channel));
  ASSERT_TRUE(WritePng(path, pixels.data(), 3, 2, 12));
}

class PictureLoaderTest : public ::testing::Test {
 protected:
  void Load(PictureLayer& layer, const std::string& descriptor) {
    LoadPicture(test.engine, layer, Sjis(descriptor));
  }
  std::string ErrorLoading(const std::string& descriptor) {
    PictureLayer layer;
    return test.ErrorOf([&] { Load(layer, descriptor); });
  }
  PictureSources& Sources() { return test.engine.graphics.pictureSources; }

  GameFolder folder;
  TestEngine test;
};

TEST_F(PictureLoaderTest, TagSettingsReachTheLayer) {
  GameFolder::Write("cells.bmp", SolidBmp(15, 2, 0x123456));
  PictureLayer layer;
  layer.alpha = 77;
  layer.cell = 2;
  test.platform.Idle(500, WaitKind::Timed);
  Load(layer, ":a/3,<10,20,30>,2;cells.bmp");
  EXPECT_EQ(layer.mode, TransparencyMode::AlphaMask);
  // Alpha and cell are back to their reset values; the interval table is in use.
  EXPECT_EQ(std::tuple(layer.alpha, layer.cell, layer.cells, layer.interval), std::tuple(-1, 0, 3, -1));
  EXPECT_EQ(layer.intervals, (std::vector<int32_t>{10, 20, 30}));
  // Cells of 5 pixels, halved towards zero.
  EXPECT_EQ(std::tuple(layer.animationMode, layer.lastTick, layer.DisplayedWidth(), Hex(layer.surface, 14, 1)),
            std::tuple(AnimationMode::BackAndForth, 500u, 2, 0x123456u));

  // Without a letter the default mode applies; the key survives a load that does not set it.
  Load(layer, ":#ff00ff;cells.bmp");
  EXPECT_EQ(layer.mode, TransparencyMode::ColourKey);
  test.engine.graphics.defaultTransparency = TransparencyMode::Copy;
  Load(layer, "cells.bmp");
  EXPECT_EQ(std::tuple(layer.mode, layer.cells, layer.keyRed, layer.keyGreen, layer.keyBlue),
            std::tuple(TransparencyMode::Copy, 1, 255, 0, 255));
}

TEST_F(PictureLoaderTest, Errors) {
  std::vector<uint8_t> truncated = SolidBmp(8, 8, 0xFFFFFF);
  truncated.resize(truncated.size() / 2);
  GameFolder::Write("cut.bmp", truncated);
  GameFolder::Write("face.png", std::string("not a png at all"));

  EXPECT_EQ(ErrorLoading("none.bmp"), "ロードエラー: ファイルnone.bmpを開けません。");
  EXPECT_EQ(ErrorLoading(":l/3,160;none.bmp"), "タグエラー: タグの指定がおかしいです。");
  EXPECT_EQ(ErrorLoading(":c"), "タグエラー: タグの指定がおかしいです。");
  EXPECT_EQ(ErrorLoading(":#00zz00;none.bmp"),  // both found before the file is looked for
            "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。");
  EXPECT_EQ(ErrorLoading("cut.bmp"), "エラー: ロード失敗!");
  // No plug-in for the extension.
  EXPECT_EQ(ErrorLoading("face.png"), "ロードエラー: ファイルface.pngを開けません。");
  Sources().pictureLibraries.push_back("ifpng.spi|png");
  EXPECT_EQ(ErrorLoading("face.png"), "エラー: ロード失敗!");  // corrupt
  // A PNG header asking for 100000 x 100000 pixels is refused before anything is allocated.
  std::string huge("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x02\0\0\0\0\0\0\0", 33);
  GameFolder::Write("huge.png", huge);
  EXPECT_EQ(ErrorLoading("huge.png"), "エラー: ロード失敗!");
}

TEST_F(PictureLoaderTest, MissingPictureTolerance) {
  PictureLayer layer;
  LoadDefaultPicture(test.engine, layer, ":l/3,160,2;cursor0.bmp");
  ASSERT_FALSE(layer.Empty());
  EXPECT_EQ(std::tuple(layer.surface.width, layer.surface.height, layer.surface.BitsPerPixel(), Hex(layer.surface, 0, 0)),
            std::tuple(1, 1, 24, 0u));
  Sources().tolerateMissingPictures = true;
  Load(layer, "other.bmp");
  EXPECT_EQ(layer.surface.width, 1);
}

TEST_F(PictureLoaderTest, PictureLogGetsTheUpperCasedFileName) {
  GameFolder::Write("ev01.bmp", SolidBmp(1, 1, 0));
  PictureLayer layer;
  Load(layer, ":c;ev01.bmp");
  EXPECT_TRUE(test.engine.pictureLog.names.empty());  // the log is off until `filelog`
  test.engine.pictureLog.enabled = true;
  Load(layer, ":c;ev01.bmp");
  Load(layer, "EV01.bmp");
  EXPECT_EQ(test.engine.pictureLog.names, (std::vector<std::string>{"EV01.BMP"}));
}

TEST_F(PictureLoaderTest, BuiltInDecoderStandsInForWindowsPlugins) {
  WriteSolidPng("face.png", 0x00C0FF);
  WriteSolidPng("chara.face.png", 0x112233);
  GameFolder::Write("ifpng.spi", std::string("MZ this is a Windows library"));
  Sources().pictureLibraries.push_back("ifpng.spi|png");
  PictureLayer layer;
  Load(layer, "face.png");
  EXPECT_EQ(std::pair(layer.surface.width, layer.surface.BitsPerPixel()), std::pair(3, 24));
  EXPECT_EQ(Hex(layer.surface, 2, 1), 0x00C0FFu);
  // The extension is everything after the first dot.
  EXPECT_EQ(ErrorLoading("chara.face.png"), "ロードエラー: ファイルchara.face.pngを開けません。");
  Sources().pictureLibraries.push_back("ifpng.spi|face.png");
  Load(layer, "chara.face.png");
  EXPECT_EQ(Hex(layer.surface, 0, 0), 0x112233u);
  EXPECT_EQ(Sources().libraries.Used(), 1);  // loaded once, found again by name
}

#ifdef VELMIO_TEST_PLUGIN
TEST_F(PictureLoaderTest, NativePlugins) {
  std::filesystem::copy_file(VELMIO_TEST_PLUGIN, "native.spi");
  GameFolder::Write("sky.raw", std::string("\x10\x20\x30", 3));
  Sources().pictureLibraries.push_back("native.spi|raw");
  PictureLayer layer;
  Load(layer, "sky.raw");
  EXPECT_EQ(std::pair(layer.surface.width, Hex(layer.surface, 1, 0)), std::pair(2, 0x102030u));

  // The archive plug-in is asked with backslashes and extracts under the base name.
  GameFolder::Write("pack.dat", std::string("ev\\sky.raw=\x40\x50\x60\n"));
  Sources().archives.push_back("pack.dat|native.spi");
  Load(layer, "ev/sky.raw");
  EXPECT_EQ(Hex(layer.surface, 0, 0), 0x405060u);
  EXPECT_TRUE(folder.RuntimeFiles().empty());  // the temporary copy is deleted after loading
}
#endif

TEST_F(PictureLoaderTest, ArchiveOrderAndPrecedence) {
  GameFolder::Write("first.lzh", BuildLzh({{"bg\\room.bmp", SolidBmp(1, 1, 0x111111)}}));
  GameFolder::Write("second.zip", BuildArchive(ArchiveKind::Zip, {{"bg/room.bmp", SolidBmp(1, 1, 0x222222)},
                                                                  {"bg/hall.bmp", SolidBmp(1, 1, 0x333333)}}));
  GameFolder::Write("broken.lzh", std::string(64, 'z'));
  // Windows plug-in names: the built-in reader stands in for both.
  Sources().archives = {"broken.lzh|axlha.spi", "first.lzh|axlha.spi", "second.zip|axzip.spi"};
  PictureLayer layer;
  Load(layer, ":c;bg/room.bmp");
  EXPECT_EQ(Hex(layer.surface, 0, 0), 0x111111u);  // the archive registered first wins
  Load(layer, ":c;bg\\hall.bmp");
  EXPECT_EQ(Hex(layer.surface, 0, 0), 0x333333u);
  // A loose file wins over every archive, found whatever the letter case and separators.
  std::filesystem::create_directory("Bg");
  GameFolder::Write("Bg/Room.BMP", SolidBmp(1, 1, 0x444444));
  Load(layer, ":c;bg\\room.bmp");
  EXPECT_EQ(Hex(layer.surface, 0, 0), 0x444444u);
  EXPECT_EQ(ErrorLoading("bg/none.bmp"), "ロードエラー: ファイルbg/none.bmpを開けません。");
  EXPECT_TRUE(folder.RuntimeFiles().empty());
}

TEST_F(PictureLoaderTest, RegistrationCommands) {
  EXPECT_EQ(test.Run("spi \"IFPNG.SPI|PNG\":arc \"Data.LZH|axlha.spi\"", Phase::Definition), "");
  EXPECT_EQ(Sources().pictureLibraries, (std::vector<std::string>{"ifpng.spi|png"}));
  EXPECT_EQ(Sources().archives, (std::vector<std::string>{"data.lzh|axlha.spi"}));
  Sources().archives.resize(50, "x|y");
  EXPECT_EQ(test.Run("arc \"one|more\"", Phase::Definition), "エラー: SPI設定が多すぎます。");
  EXPECT_EQ(Sources().archives.size(), 50u);
}

}  // namespace
}  // namespace velmio::testing
