// Writes the sound and movie files the unit tests play, and the damaged WAVE files they must
// refuse or cut short: make_sound_media TESTS_FOLDER (the repository's tests/). The committed
// files change only when this program does.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound_media.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }
void Put16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Put64(Bytes& out, uint64_t value) {
  Put32(out, static_cast<uint32_t>(value));
  Put32(out, static_cast<uint32_t>(value >> 32));
}

// A PCM fmt chunk: 16-bit mono at 8000 Hz unless said otherwise.
void PutFormat(Bytes& out, uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 8000, uint16_t bits = 16) {
  Put(out, "fmt ");
  Put32(out, 16);
  Put16(out, tag);
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * channels * bits / 8);
  Put16(out, static_cast<uint16_t>(channels * bits / 8));
  Put16(out, bits);
}

void PutRamp(Bytes& out, int samples) {
  for (int i = 0; i < samples; ++i) Put16(out, static_cast<uint16_t>(i * 100));
}

bool Save(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool WriteDamagedWaves(const std::filesystem::path& folder) {
  bool ok = true;
  Bytes truncated;
  Put(truncated, "RIFF");
  Put32(truncated, 36);
  Put(truncated, "WA");
  ok &= Save(folder / "truncated-header.wav", truncated);

  Bytes cutFormat;
  Put(cutFormat, "RIFF");
  Put32(cutFormat, 26);
  Put(cutFormat, "WAVEfmt ");
  Put32(cutFormat, 16);
  Put16(cutFormat, 1);
  Put16(cutFormat, 1);
  Put16(cutFormat, 8000);
  ok &= Save(folder / "fmt-cut-short.wav", cutFormat);

  // 100 samples present, 4 GB claimed by the data chunk and the RIFF size.
  Bytes claims4;
  Put(claims4, "RIFF");
  Put32(claims4, 0xFFFFFFFF);
  Put(claims4, "WAVE");
  PutFormat(claims4);
  Put(claims4, "data");
  Put32(claims4, 0xFFFFFFF0);
  PutRamp(claims4, 100);
  ok &= Save(folder / "data-claims-4gb.wav", claims4);

  // RF64: the real sizes are in the ds64 chunk, here 10 GB of data over 100 samples present.
  Bytes claims10;
  Put(claims10, "RF64");
  Put32(claims10, 0xFFFFFFFF);
  Put(claims10, "WAVEds64");
  Put32(claims10, 28);
  Put64(claims10, 10ull << 30);  // RIFF size
  Put64(claims10, 10ull << 30);  // data size
  Put64(claims10, 5ull << 30);   // sample count
  Put32(claims10, 0);            // no table
  PutFormat(claims10);
  Put(claims10, "data");
  Put32(claims10, 0xFFFFFFFF);
  PutRamp(claims10, 100);
  ok &= Save(folder / "rf64-claims-10gb.wav", claims10);

  // The fmt chunk says it runs past the end of the file, and there is no data chunk at all.
  Bytes noData;
  Put(noData, "RIFF");
  Put32(noData, 100);
  Put(noData, "WAVE");
  PutFormat(noData);
  Put(noData, "LIST");
  Put32(noData, 0x7FFFFFFF);
  Put(noData, "INFO");
  ok &= Save(folder / "no-data-chunk.wav", noData);

  Bytes noChannels;
  Put(noChannels, "RIFF");
  Put32(noChannels, 44);
  Put(noChannels, "WAVE");
  PutFormat(noChannels, 1, 0);
  Put(noChannels, "data");
  Put32(noChannels, 8);
  PutRamp(noChannels, 4);
  ok &= Save(folder / "zero-channels.wav", noChannels);

  Bytes extensible;
  Put(extensible, "RIFF");
  Put32(extensible, 38);
  Put(extensible, "WAVEfmt ");
  Put32(extensible, 18);
  Put16(extensible, 0xFFFE);
  Put16(extensible, 2);
  Put32(extensible, 44100);
  Put32(extensible, 176400);
  Put16(extensible, 4);
  Put16(extensible, 16);
  Put16(extensible, 0);
  ok &= Save(folder / "extensible-cut-short.wav", extensible);

  Bytes garbage;
  uint32_t seed = 12345;
  for (int i = 0; i < 64; ++i) {
    seed = seed * 1103515245 + 12345;
    garbage.push_back(static_cast<uint8_t>(seed >> 16));
  }
  ok &= Save(folder / "garbage.wav", garbage);
  return ok;
}

// The MP3 file inside a WAVE file (format 0x55), as some games keep their voices.
bool WriteMp3InWave(const std::filesystem::path& mp3Path, const std::filesystem::path& wavePath) {
  std::ifstream in(mp3Path, std::ios::binary);
  Bytes mp3((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (mp3.empty()) return false;
  Bytes out;
  Put(out, "RIFF");
  Put32(out, static_cast<uint32_t>(4 + 8 + 30 + 8 + mp3.size()));
  Put(out, "WAVEfmt ");
  Put32(out, 30);
  Put16(out, 0x55);
  Put16(out, 1);
  Put32(out, 22050);
  Put32(out, 4000);
  Put16(out, 1);
  Put16(out, 0);
  Put16(out, 12);   // extra bytes: the MPEG layer 3 fields
  Put16(out, 1);    // id: MPEG
  Put32(out, 2);    // padding off
  Put16(out, 104);  // block size
  Put16(out, 1);    // frames per block
  Put16(out, 1393); // codec delay
  Put(out, "data");
  Put32(out, static_cast<uint32_t>(mp3.size()));
  out.insert(out.end(), mp3.begin(), mp3.end());
  return Save(wavePath, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sound_media TESTS_FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  using namespace velmio::media;
  fs::path tests = argv[1];
  fs::path media = tests / "media";
  fs::path waves = tests / "fuzz-regressions" / "wave";
  fs::create_directories(media);
  fs::create_directories(waves);

  struct Job {
    const char* name;
    ToneFile tone;
  };
  const Job jobs[] = {
      {"tone440-22050-mono.mp3", {"libmp3lame", 22050, 1, 32000, 1.0, 440.0}},
      {"tone440-48000-stereo.ogg", {"libvorbis", 48000, 2, 0, 1.0, 440.0}},
      {"tone440-8000-mono.flac", {"flac", 8000, 1, 0, 1.0, 440.0}},
      {"tone440-8000-mono-ima.wav", {"adpcm_ima_wav", 8000, 1, 0, 1.0, 440.0}},
  };
  int failures = 0;
  for (const Job& job : jobs) {
    std::string error = WriteTone((media / job.name).string(), job.tone);
    if (!error.empty()) {
      std::fprintf(stderr, "%s: %s\n", job.name, error.c_str());
      ++failures;
    }
  }
  std::string error = WriteMovie((media / "movie-160x120-10fps.avi").string(), MovieFile{});
  if (!error.empty()) {
    std::fprintf(stderr, "movie: %s\n", error.c_str());
    ++failures;
  }
  if (!WriteMp3InWave(media / "tone440-22050-mono.mp3", media / "tone440-mp3-in.wav")) ++failures;
  if (!Save(media / "tune.mid", MidiTune())) ++failures;
  if (!WriteDamagedWaves(waves)) ++failures;
  return failures == 0 ? 0 : 1;
}
