// The two tunes, written as scores and played by the instruments of
// sound_voices.h. Mono.
#pragma once

#include "sound_synth.h"

namespace demo::tunes {

// The opening tune, played once under the title: a plucked arpeggio and a
// glockenspiel melody over pads, about 28 seconds, ending on a held chord
// that dies away to silence.
synth::Signal Opening(double rate);

// The intro tune: eight bars of a plucked melody over pads and a bass that
// loop seamlessly (16 seconds), the last bar leading back to the first.
synth::Signal Intro(double rate);

}  // namespace demo::tunes
