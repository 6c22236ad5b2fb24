// The looping background sounds: two winds, chimes, a drone and bells.
// Each returns `seconds` of a seamless loop at `rate` (frames interleaved
// for its channel count, noted below), quiet enough to sit under pictures.
#pragma once

#include "sound_synth.h"

namespace demo::ambience {

// A soft wind that whistles and swells in slow gusts. Mono.
synth::Signal Wind(double rate, double seconds);
// Wind running through grass: a rustling hiss over a low whistle. Mono.
synth::Signal GrassWind(double rate, double seconds);
// Wind chimes in a breeze, struck in small clusters, spread left to right. Stereo.
synth::Signal Chimes(double rate, double seconds);
// A warm, slowly breathing drone on D and A. Mono.
synth::Signal Drone(double rate, double seconds);
// Two distant bells, one every half loop, over a low hum. Mono.
synth::Signal Bells(double rate, double seconds);

}  // namespace demo::ambience
