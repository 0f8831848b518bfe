#pragma once
// The state of sound and movies: what plays, under which names, with which loop flags. The
// names and loop flags are what a saved game records and restarts.
#include <cstdint>
#include <string>

namespace velmio {

struct SoundState {
  int32_t cdTrack = -1;  // -1 when none
  int32_t cdLoop = 0;
  std::string midiName;  // exactly as the script wrote it; empty when none
  int32_t midiLoop = 0;
  std::string waveName;  // the WAVE last played, voices included
  int32_t waveLoop = 0;
  std::string mp3Name;
  int32_t mp3Loop = 0;
};

}  // namespace velmio
