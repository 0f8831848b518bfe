#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmio {

enum class PlayRepeat : uint8_t { Once, Loop };
// Where a song played once is over: when its last notes have died away, or as soon as its
// events end (a song that its player starts again: the next pass follows without a pause).
enum class SongEnd : uint8_t { AfterTail, AtLastEvent };

// General MIDI through FluidSynth and a SoundFont: $VELMIO_SOUNDFONT when set, else
// /usr/share/sounds/sf2/default-GM.sf2. Without a usable SoundFont the renderer still keeps
// time (a song ends when it would have ended) but plays silence, and Warning says why once.
//
// The SoundFont is loaded once per renderer; songs come and go with Start and Stop. Not
// thread-safe: one thread renders, and Start and Stop wait until it does not.
class MidiRenderer {
 public:
  static constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

  MidiRenderer();
  MidiRenderer(const MidiRenderer&) = delete;
  MidiRenderer& operator=(const MidiRenderer&) = delete;
  ~MidiRenderer();

  bool HasSoundFont() const { return soundFontLoaded_; }
  // UTF-8, non-empty when MIDI will be silent (no SoundFont), for the engine to print once.
  const std::string& Warning() const { return warning_; }

  // Starts a standard MIDI file (or an RMID wrapping one) from its bytes, which are copied.
  // Empty when it plays, else why not; `name` is what the message calls the file.
  std::string Start(std::span<const uint8_t> midiFile, std::string_view name, PlayRepeat repeat,
                    SongEnd end = SongEnd::AfterTail);
  void Stop() {
    ReleasePlayer();
    ended_ = true;
  }
  // Writes `frames` frames of 44.1 kHz stereo 16-bit while the song plays (and, with
  // SongEnd::AfterTail, while its last notes ring, two seconds at most); 0 once it is over.
  size_t Render(int16_t* out, size_t frames);
  // The song has played to its end (a looping one never does) and its notes have died away.
  bool Ended() const { return ended_; }

 private:
  void ReleasePlayer();
  // The end of a successful Start, alike in every build.
  void Started(PlayRepeat repeat, SongEnd end) {
    ended_ = false;
    repeat_ = repeat;
    end_ = end;
  }

  struct Library;
  Library* library_;
  bool soundFontLoaded_ = false;
  std::string warning_;
  bool ended_ = true;
  PlayRepeat repeat_ = PlayRepeat::Once;
  SongEnd end_ = SongEnd::AfterTail;
};

}  // namespace velmio
