// The browser build has no FFmpeg: a movie cannot be opened, and the player skips it.
#include "files/sound/movie_decoder.h"

namespace velmio {

bool MovieDecoder::Available() { return false; }

MovieDecoder::MovieDecoder() : picture_(static_cast<size_t>(kStride) * kHeight, 0) {}

MovieDecoder::~MovieDecoder() = default;

std::string MovieDecoder::Open(const std::string& path) { return path + ": movies are not played in this build"; }

MovieStep MovieDecoder::Step() { return MovieStep::End; }

bool MovieDecoder::NextPicture() { return false; }

size_t MovieDecoder::ReadAudio(int16_t*, size_t) { return 0; }

}  // namespace velmio
