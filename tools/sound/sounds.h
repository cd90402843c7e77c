#pragma once

#include "synth.h"

namespace snd {

// Bow-string twang with a soft whoosh, about a third of a second.
Mono MakeArrowRelease();
// 16 bars at 120 bpm in A minor; the closing E chord leads back into the opening Am.
Stereo MakeDenMusic();

}  // namespace snd
