#pragma once
// The media operations other subsystems call: the waits, lookback, choices and menus play
// their sounds with PlayWave; a reset, a fatal error and a load stop everything; a load
// restarts what the save recorded.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmio {

class SoundContext;

enum class Looping : uint8_t { Once, Loop };
enum class ClickToStop : uint8_t { No, Yes };

// Plays a WAVE sound (voices and effects included); an empty name stops the WAVE. Only one
// WAVE sounds at a time: every call replaces the one before.
void PlayWave(SoundContext& engine, std::string_view name, Looping looping);
// Track 0 stops the CD; the track already playing goes on undisturbed.
void PlayCdTrack(SoundContext& engine, int32_t track, Looping looping);
// An empty name stops the MIDI.
void PlayMidi(SoundContext& engine, std::string_view name, Looping looping);
// An empty name stops the MP3.
void PlayMp3(SoundContext& engine, std::string_view name, Looping looping);
// Plays a movie over the whole window and returns when it has ended (or, with ClickToStop::Yes,
// at a click).
void PlayMovie(SoundContext& engine, std::string_view name, ClickToStop clickToStop);

void StopWave(SoundContext& engine);
void StopMidi(SoundContext& engine);
// With the CD fade-out unless it is 0 or switched off in config.txt.
void StopCd(SoundContext& engine);
void StopMp3(SoundContext& engine);

// Everything silent at once: the four loop flags cleared, CD (without its fade-out), MIDI,
// WAVE, MP3 and the movie stopped, temporary sound files deleted.
void StopAllMedia(SoundContext& engine);

// The window's 100 ms timer: a looping MIDI that has stopped starts again, and a looping CD
// track that has played to its end is played again.
void MediaTimerTick(SoundContext& engine);

// Where a media file named by the script is: on disk, else extracted from the archives into
// the runtime folder (then `temporary`). A file in neither is a fatal load error.
struct ResolvedMedia {
  std::string path;
  bool temporary = false;
};
ResolvedMedia ResolveMediaFile(SoundContext& engine, std::string_view name);

}  // namespace velmio
