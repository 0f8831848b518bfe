#pragma once
// The state of sound and movies: what plays, under which names, with which loop flags.

namespace velmio {

struct SoundState {};

}  // namespace velmio
