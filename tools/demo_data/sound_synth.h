// Building blocks for the demo sounds: a fixed integer noise source, slow
// random curves, filters, mixing of events into loops, and closing a loop
// without a click. Signals are mono sample vectors at one rate; a loop of
// n samples is heard as sample n-1 followed by sample 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo::synth {

using Signal = std::vector<double>;

constexpr double kPi = 3.14159265358979323846;

// xorshift32: the same numbers on every machine, whatever its library.
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
  uint32_t Next();
  double Uniform();  // [0, 1)
  double Between(double low, double high);
  double Noise() { return Uniform() * 2.0 - 1.0; }  // white noise in [-1, 1)

 private:
  uint32_t state_;
};

// A smooth random curve in [0, 1] that repeats every `length` samples:
// `knots` random heights joined by periodic Catmull-Rom splines.
Signal PeriodicCurve(size_t length, int knots, Rng& rng);

// sin(2 pi cycles i / length) for i < length: an exactly periodic wave
// (the phase is reduced in integers, so sample `length` equals sample 0).
double LoopSine(int64_t cycles, int64_t i, int64_t length, double phase = 0.0);

// The frequency nearest `hz` that makes whole periods in `length` samples.
int64_t LoopCycles(double hz, size_t length, double rate);

// A two-pole state-variable filter (trapezoidal, stable at any cutoff below
// half the rate); the cutoff may change every sample.
class Filter {
 public:
  struct Out {
    double low, band, high;
  };
  Out Step(double in, double cutoffHz, double q, double rate);

 private:
  double ic1_ = 0.0, ic2_ = 0.0;
};

// Closes a loop: `extended` holds length + overlap samples of one continuous
// sound; the overlap past `length` is faded into the head with an
// equal-power crossfade (right for noise, whose two ends are unrelated), so
// that the last sample runs on into the first as it ran on in `extended`.
Signal CloseLoop(const Signal& extended, size_t length, size_t overlap);

// Adds `gain` x event into `out` from sample `start`; past the end it wraps
// to the head (a loop rings on across its seam) or is dropped.
void MixWrapped(Signal& out, const Signal& event, size_t start, double gain);
void MixClipped(Signal& out, const Signal& event, size_t start, double gain);

// Scales so that the largest magnitude of any of `signals` is `peak`.
void Normalize(std::vector<Signal*> signals, double peak);
// Scales to a root-mean-square level of `rms`, or less where the peak
// would pass `peak`.
void SetLevel(Signal& signal, double rms, double peak);

// Turns a loop (`channels` interleaved) so that it starts on the frame
// nearest silence in the 10 ms up to `frame`: started from the top, it then
// rises from nothing instead of starting with a click.
void StartBefore(Signal& loop, size_t channels, double rate, size_t frame);
// The same, in the middle of the loop's quietest fifth of a second.
void StartQuietly(Signal& loop, size_t channels, double rate);

// Interleaves a left and a right signal of the same length.
Signal Interleave(const Signal& left, const Signal& right);

}  // namespace demo::synth
