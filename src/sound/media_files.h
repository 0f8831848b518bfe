#pragma once
// Finding and converting the files the sound commands name.
#include <string>
#include <string_view>

#include "sound/media.h"
#include "sound/sound_state.h"

namespace velmio {

enum class PressTarget : uint8_t { Midi, Wave };

// Converts a file whose extension is not the target's own ("mid", "wav", compared as written)
// with the sound press plug-in registered for the extension, into "Velmtmp.mid" or
// "Velmtmp.wav" in the runtime folder. No entry for the extension is a fatal load error naming
// `scriptName`. A library that does not load natively leaves the file to the built-in decoders;
// a native one without "expand" ends the play silently (false).
bool ConvertForPlaying(SoundContext& engine, ResolvedMedia& media, std::string_view scriptName, PressTarget target);

// Deletes the marked file and clears the mark.
void DeleteTemporary(TemporaryMark& mark);
void Mark(TemporaryMark& mark, const ResolvedMedia& media);

[[noreturn]] void CannotOpenMedia(std::string_view name);

}  // namespace velmio
