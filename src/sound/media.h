#pragma once
// The media operations other subsystems call: the waits, lookback, choices and menus play
// their sounds with PlayWave; a reset, a fatal error and a load stop everything; a load
// restarts what the save recorded.
#include <cstdint>
#include <string_view>

namespace velmio {

class SoundContext;

enum class Looping : uint8_t { Once, Loop };

// Plays a WAVE sound (voices and effects included); an empty name stops the WAVE. Only one
// WAVE sounds at a time: every call replaces the one before.
void PlayWave(SoundContext& engine, std::string_view name, Looping looping);
void PlayCdTrack(SoundContext& engine, int32_t track, Looping looping);
void PlayMidi(SoundContext& engine, std::string_view name, Looping looping);
void PlayMp3(SoundContext& engine, std::string_view name, Looping looping);

// Everything silent at once: the four loop flags cleared, CD (without its fade-out), MIDI,
// WAVE, MP3 and the movie stopped, temporary sound files deleted.
void StopAllMedia(SoundContext& engine);

}  // namespace velmio
