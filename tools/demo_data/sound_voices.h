// The instruments of the demo sounds: tones made of sine partials, each
// with its own decay, under an envelope that starts and ends at silence with
// a flat slope (so no tone ever clicks, wherever it is mixed in).
#pragma once

#include <vector>

#include "sound_synth.h"

namespace demo::voices {

struct Partial {
  double ratio;  // of the tone's frequency
  double amplitude;
  double decay;  // seconds to fall to 1/e; 0 holds the level
};

// `seconds` of a tone at `hz`; partials at or above 0.45 x rate are left out.
synth::Signal Tone(double rate, double hz, const std::vector<Partial>& partials, double seconds, double attack,
                   double release);

// Equal temperament, A4 = MIDI note 69 = 440 Hz.
double NoteHz(int midiNote);

// A plucked string, soft and wooden, ringing about two seconds.
synth::Signal Pluck(double rate, double hz);
// A small glockenspiel bar, bright and clear.
synth::Signal Glock(double rate, double hz);
// A sustained pad of two slightly detuned voices that swells in and out.
synth::Signal Pad(double rate, double hz, double seconds);
// A round, low string held for `seconds`.
synth::Signal Bass(double rate, double hz, double seconds);
// A metal chime tube: the free bar's inharmonic partials.
synth::Signal ChimeTube(double rate, double hz);
// A distant temple bell with a low hum an octave below its strike tone.
synth::Signal Bell(double rate, double hz);

}  // namespace demo::voices
