#include "sound_voices.h"

#include <cmath>
#include <complex>

namespace demo::voices {

using synth::Signal;

namespace {

// A smooth step from 0 to 1 over `count` samples (flat at both ends).
double Ease(size_t i, size_t count) {
  return i >= count ? 1.0 : 0.5 - 0.5 * std::cos(synth::kPi * double(i) / double(count));
}

}  // namespace

Signal Tone(double rate, double hz, const std::vector<Partial>& partials, double seconds, double attack,
            double release) {
  const size_t length = size_t(seconds * rate);
  Signal tone(length, 0.0);
  for (const Partial& partial : partials) {
    const double frequency = hz * partial.ratio;
    if (frequency >= 0.45 * rate) continue;
    // One complex rotation per sample: the sine and its decay together.
    const double shrink = partial.decay > 0.0 ? std::exp(-1.0 / (partial.decay * rate)) : 1.0;
    const std::complex<double> turn = std::polar(shrink, 2.0 * synth::kPi * frequency / rate);
    std::complex<double> phasor(partial.amplitude, 0.0);
    for (size_t i = 0; i < length; ++i) {
      tone[i] += phasor.imag();
      phasor *= turn;
    }
  }
  const size_t attackLength = size_t(attack * rate), releaseLength = size_t(release * rate);
  for (size_t i = 0; i < length; ++i) tone[i] *= Ease(i, attackLength) * Ease(length - 1 - i, releaseLength);
  return tone;
}

double NoteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

Signal Pluck(double rate, double hz) {
  return Tone(rate, hz, {{1, 1.0, 1.4}, {2, 0.45, 0.7}, {3, 0.22, 0.45}, {4, 0.1, 0.3}, {5, 0.05, 0.2}}, 4.0, 0.004,
              0.5);
}

Signal Glock(double rate, double hz) {
  return Tone(rate, hz, {{1, 1.0, 1.8}, {2.0, 0.12, 0.9}, {3.01, 0.1, 0.5}, {4.16, 0.05, 0.3}}, 4.5, 0.003, 0.6);
}

Signal Pad(double rate, double hz, double seconds) {
  return Tone(rate, hz, {{1.0, 0.5, 0}, {1.003, 0.5, 0}, {2.0, 0.12, 0}, {2.997, 0.04, 0}}, seconds, 1.2, 1.5);
}

Signal Bass(double rate, double hz, double seconds) {
  return Tone(rate, hz, {{1, 1.0, 3.0}, {2, 0.25, 1.2}, {3, 0.06, 0.6}}, seconds, 0.02, 0.5);
}

Signal ChimeTube(double rate, double hz) {
  return Tone(rate, hz, {{1, 1.0, 2.2}, {2.756, 0.4, 1.1}, {5.404, 0.18, 0.55}, {8.933, 0.07, 0.3}}, 6.0, 0.002, 0.5);
}

Signal Bell(double rate, double hz) {
  return Tone(rate, hz,
              {{0.5, 0.7, 7.0},
               {0.5015, 0.35, 7.0},
               {1.0, 1.0, 5.0},
               {1.19, 0.3, 3.5},
               {1.5, 0.22, 3.0},
               {2.0, 0.35, 2.4},
               {2.52, 0.1, 1.5},
               {3.0, 0.07, 1.1}},
              22.0, 0.006, 2.0);
}

}  // namespace demo::voices
