#pragma once
// The state of sound and movies: what plays, under which names, with which loop flags. The
// names and loop flags are what a saved game records and restarts.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmio {

class SoundSystem;

// A file extracted or converted for a sound, deleted when that sound stops.
struct TemporaryMark {
  bool marked = false;
  std::string path;
};

struct SoundState {
  int32_t cdTrack = -1;  // -1 when none
  int32_t cdLoop = 0;
  uint32_t cdFadeOutTime = 1000;  // `cdfadeout`, in milliseconds
  bool cdFadeOff = false;         // "cdfadeoff" in config.txt
  std::string midiName;  // exactly as the script wrote it; empty when none
  int32_t midiLoop = 0;
  std::string waveName;  // the WAVE last played, voices included
  int32_t waveLoop = 0;
  std::string mp3Name;
  int32_t mp3Loop = 0;
  bool waveEnabled = true;  // the menu's WAVE setting: off suppresses every WAVE
  bool moviePlaying = false;  // the window is not painted over a movie

  TemporaryMark midiTemporary;
  TemporaryMark waveTemporary;
  TemporaryMark mp3Temporary;
  // `soundpressplgin` entries, lower-cased: "library|extension".
  std::vector<std::string> pressPlugins;

  // The mixer, its streams and the device; null until sound starts (and in unit tests).
  std::shared_ptr<SoundSystem> system;
};

}  // namespace velmio
