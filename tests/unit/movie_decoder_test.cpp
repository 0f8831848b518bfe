#include <gtest/gtest.h>

#include <vector>

#include "files/sound/movie_decoder.h"
#include "unit/sound_test_support.h"

namespace velmio {
namespace {

// Blue, green, red of the pixel (x, y), y counted from the top of the picture.
struct Colour {
  int blue, green, red;
};
Colour At(const uint8_t* picture, int x, int y) {
  const uint8_t* p = picture + static_cast<size_t>(MovieDecoder::kHeight - 1 - y) * MovieDecoder::kStride + 3 * x;
  return {p[0], p[1], p[2]};
}

TEST(MovieDecoder, PicturesComeScaledBottomUpWithTheirTimesBesideTheSound) {
  MovieDecoder movie;
  ASSERT_EQ(movie.Open(testing::MediaPath("movie-160x120-10fps.avi")), "");
  EXPECT_EQ(std::pair(movie.Info().sourceWidth, movie.Info().sourceHeight), std::pair(160, 120));
  EXPECT_NEAR(static_cast<double>(movie.Info().durationMs), 1000.0, 150.0);
  EXPECT_EQ(At(movie.Picture(), 320, 240).red, 0);  // black before the first picture

  std::vector<int64_t> times;
  std::vector<std::vector<uint8_t>> pictures;
  std::vector<int16_t> sound;
  std::vector<int16_t> block(2 * 4096);
  for (MovieStep step; (step = movie.Step()) != MovieStep::End;) {
    if (step == MovieStep::Picture) {
      times.push_back(movie.PictureTimeMs());
      pictures.emplace_back(movie.Picture(), movie.Picture() + MovieDecoder::kStride * MovieDecoder::kHeight);
    }
    for (size_t frames; (frames = movie.ReadAudio(block.data(), 4096)) > 0;)
      sound.insert(sound.end(), block.begin(), block.begin() + 2 * frames);
  }
  EXPECT_EQ(times, (std::vector<int64_t>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900}));
  ASSERT_EQ(pictures.size(), 10u);
  // Red on top and blue below on the screen are checked by the movie scenario.
  // The white square moves right: at the left edge in the first picture, gone from there later.
  EXPECT_GT(At(pictures[0].data(), 20, 240).green, 200);
  EXPECT_LT(At(pictures[9].data(), 20, 240).green, 100);
  EXPECT_NE(pictures[1], pictures[2]);

  // One second of sound (its tone is the movie scenario's), and the MP3 encoder's priming and
  // padding (AVI keeps no gapless info).
  EXPECT_GE(sound.size() / 2, 44100u);
  EXPECT_LE(sound.size() / 2, 49000u);
  EXPECT_FALSE(movie.NextPicture());

  MovieDecoder missing;
  std::string error = missing.Open("/nonexistent/op.avi");
  EXPECT_EQ(error.rfind("/nonexistent/op.avi: cannot be opened as a movie", 0), 0u) << error;
  EXPECT_EQ(missing.Step(), MovieStep::End);
}

}  // namespace
}  // namespace velmio
