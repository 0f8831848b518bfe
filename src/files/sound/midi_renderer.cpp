#include "files/sound/midi_renderer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "files/sound/decoded_sound.h"
#include "files/sound/midi_file.h"

namespace velmio {

struct MidiRenderer::Library {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
};

MidiRenderer::MidiRenderer() : library_(new Library) {
  // FluidSynth talks on standard error about every missing preset; the engine reports itself.
  static std::once_flag quiet;
  std::call_once(quiet, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
  });
  library_->settings = new_fluid_settings();
  fluid_settings_setnum(library_->settings, "synth.sample-rate", kPcmRate);
  fluid_settings_setnum(library_->settings, "synth.gain", 0.5);
  // Songs advance with the samples rendered, not with the wall clock: rendering ahead of time
  // or in virtual time keeps the tempo.
  fluid_settings_setstr(library_->settings, "player.timing-source", "sample");
  fluid_settings_setint(library_->settings, "synth.cpu-cores", 1);
  library_->synth = new_fluid_synth(library_->settings);

  const char* chosen = std::getenv("VELMIO_SOUNDFONT");
  std::string path = chosen && *chosen ? chosen : kDefaultSoundFont;
  if (library_->synth && fluid_synth_sfload(library_->synth, path.c_str(), 1) != FLUID_FAILED) {
    soundFontLoaded_ = true;
  } else {
    warning_ = "MIDI music is silent: the SoundFont " + path +
               " cannot be loaded (install timgm6mb-soundfont, or name a General MIDI SoundFont in VELMIO_SOUNDFONT)";
  }
}

MidiRenderer::~MidiRenderer() {
  ReleasePlayer();
  if (library_->synth) delete_fluid_synth(library_->synth);
  delete_fluid_settings(library_->settings);
  delete library_;
}

void MidiRenderer::ReleasePlayer() {
  if (library_->player) {
    fluid_player_stop(library_->player);
    delete_fluid_player(library_->player);
    library_->player = nullptr;
  }
  if (library_->synth) fluid_synth_system_reset(library_->synth);
}

std::string MidiRenderer::Start(std::span<const uint8_t> midiFile, std::string_view name, PlayRepeat repeat,
                                SongEnd end) {
  Stop();
  std::span<const uint8_t> data = FindMidiData(midiFile);
  if (data.empty()) return std::string(name) + ": not a standard MIDI file";
  if (!library_->synth) return std::string(name) + ": the MIDI synthesiser cannot start";
  library_->player = new_fluid_player(library_->synth);
  if (!library_->player || fluid_player_add_mem(library_->player, data.data(), data.size()) != FLUID_OK) {
    ReleasePlayer();
    return std::string(name) + ": the MIDI file cannot be read";
  }
  fluid_player_set_loop(library_->player, repeat == PlayRepeat::Loop ? -1 : 1);
  if (fluid_player_play(library_->player) != FLUID_OK) {
    ReleasePlayer();
    return std::string(name) + ": the MIDI file cannot be played";
  }
  Started(repeat, end);
  return {};
}

size_t MidiRenderer::Render(int16_t* out, size_t frames) {
  if (ended_ || !library_->player) return 0;
  fluid_player_t* player = library_->player;
  // A finished song stays "playing" for two seconds of grace while its last notes ring; one
  // played once is over as soon as they have died away.
  bool over = fluid_player_get_status(player) == FLUID_PLAYER_DONE;
  if (!over && repeat_ == PlayRepeat::Once) {
    int total = fluid_player_get_total_ticks(player);
    over = total > 0 && fluid_player_get_current_tick(player) >= total &&
           (end_ == SongEnd::AtLastEvent || fluid_synth_get_active_voice_count(library_->synth) == 0);
  }
  if (over) {
    ended_ = true;
    return 0;
  }
  // FluidSynth renders at most a few thousand frames per call in some versions: go in slices.
  constexpr size_t kSlice = 4096;
  for (size_t done = 0; done < frames;) {
    int slice = static_cast<int>(std::min(kSlice, frames - done));
    int16_t* target = out + done * kPcmChannels;
    fluid_synth_write_s16(library_->synth, slice, target, 0, 2, target, 1, 2);
    done += static_cast<size_t>(slice);
  }
  // Without a SoundFont only the dither would sound.
  if (!soundFontLoaded_) std::fill_n(out, frames * kPcmChannels, int16_t{0});
  return frames;
}

}  // namespace velmio
