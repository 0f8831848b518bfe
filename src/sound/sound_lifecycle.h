#pragma once
// Sound for the whole run: the device opens with the engine and closes, with every thread,
// before the engine goes.
namespace velmio {

class SoundContext;

void StartSound(SoundContext& engine);
// Stops every voice, deletes the temporary files and closes the device; no sound thread runs
// afterwards.
void EndSound(SoundContext& engine);

}  // namespace velmio
