#include "sound_ambience.h"

#include <cmath>
#include <functional>

#include "sound_voices.h"

namespace demo::ambience {

using synth::Filter;
using synth::Rng;
using synth::Signal;

namespace {

// Crossfade length for closing noise loops.
constexpr double kSeam = 0.6;

// `length` samples of a loop made from noise: `shape` turns each noise
// sample (and its index in the loop) into a sample of sound. The filters in
// `shape` are warmed up first, and the loop is closed by a crossfade.
Signal NoiseLoop(size_t length, double rate, Rng& rng, const std::function<double(double, size_t)>& shape) {
  const size_t warmUp = size_t(0.25 * rate), overlap = size_t(kSeam * rate);
  for (size_t i = 0; i < warmUp; ++i) shape(rng.Noise(), length - warmUp + i);
  Signal extended(length + overlap);
  for (size_t i = 0; i < extended.size(); ++i) extended[i] = shape(rng.Noise(), i % length);
  return synth::CloseLoop(extended, length, overlap);
}

// A slow swell 0..1 made of whole cycles of the loop.
double Swell(int64_t cycles, size_t i, size_t length, double phase) {
  return 0.5 + 0.5 * synth::LoopSine(cycles, int64_t(i), int64_t(length), phase);
}

void Add(Signal& to, const Signal& from, double gain) {
  for (size_t i = 0; i < to.size(); ++i) to[i] += gain * from[i];
}

}  // namespace

Signal Wind(double rate, double seconds) {
  const size_t length = size_t(seconds * rate);
  Rng rng(0x57494E44);
  const Signal gust = synth::PeriodicCurve(length, 5, rng);
  const Signal swirl = synth::PeriodicCurve(length, 19, rng);
  Filter whistle, rumble;
  Signal wind = NoiseLoop(length, rate, rng, [&](double noise, size_t i) {
    const double g = gust[i];
    const double hz = 240.0 + 420.0 * g + 90.0 * swirl[i];
    const double high = whistle.Step(noise, hz, 3.5, rate).band * (0.15 + 0.85 * g * g);
    const double low = rumble.Step(noise, 160.0, 0.7, rate).low * (0.35 + 0.65 * g);
    return 1.6 * high + 2.0 * low;
  });
  synth::SetLevel(wind, 0.06, 0.5);
  synth::StartQuietly(wind, 1, rate);
  return wind;
}

Signal GrassWind(double rate, double seconds) {
  const size_t length = size_t(seconds * rate);
  Rng rng(0x47524153);
  const Signal gust = synth::PeriodicCurve(length, 4, rng);
  const Signal rustle = synth::PeriodicCurve(length, int(seconds * 9), rng);
  Filter hiss, whistle;
  Signal grass = NoiseLoop(length, rate, rng, [&](double noise, size_t i) {
    const double g = gust[i];
    const double leaves = hiss.Step(noise, 1700.0 + 2300.0 * g, 0.8, rate).band;
    const double air = whistle.Step(noise, 380.0 + 260.0 * g, 4.0, rate).band;
    return leaves * (0.1 + 0.9 * g) * (0.35 + 0.65 * rustle[i]) + 0.5 * air * (0.3 + 0.7 * g);
  });
  synth::SetLevel(grass, 0.05, 0.5);
  synth::StartQuietly(grass, 1, rate);
  return grass;
}

Signal Chimes(double rate, double seconds) {
  const size_t length = size_t(seconds * rate);
  Rng rng(0x4348494D);
  // The tubes: D major pentatonic from D6 up to D7.
  const int tubes[] = {86, 88, 90, 93, 95, 98};
  Signal left(length, 0.0), right(length, 0.0);
  const int clusters = 3;
  for (int c = 0; c < clusters; ++c) {
    double at = seconds * (c + rng.Between(0.05, 0.35)) / clusters;
    const int strikes = 3 + int(rng.Next() % 3);
    for (int s = 0; s < strikes; ++s) {
      const Signal tone = voices::ChimeTube(rate, voices::NoteHz(tubes[rng.Next() % 6]));
      const double velocity = rng.Between(0.35, 1.0), pan = rng.Between(0.15, 0.85);
      const size_t start = size_t(at * rate);
      synth::MixWrapped(left, tone, start, velocity * std::cos(0.5 * synth::kPi * pan));
      synth::MixWrapped(right, tone, start, velocity * std::sin(0.5 * synth::kPi * pan));
      at += rng.Between(0.12, 0.6);
    }
  }
  synth::Normalize({&left, &right}, 0.32);
  // A breeze behind them, different in each ear.
  const Signal gust = synth::PeriodicCurve(length, 4, rng);
  for (Signal* side : {&left, &right}) {
    Filter soft;
    Signal breeze = NoiseLoop(length, rate, rng, [&](double noise, size_t i) {
      return soft.Step(noise, 420.0 + 300.0 * gust[i], 0.7, rate).low * (0.3 + 0.7 * gust[i]);
    });
    synth::SetLevel(breeze, 0.012, 0.1);
    Add(*side, breeze, 1.0);
  }
  Signal both = synth::Interleave(left, right);
  synth::StartQuietly(both, 2, rate);
  return both;
}

Signal Drone(double rate, double seconds) {
  const size_t length = size_t(seconds * rate);
  Rng rng(0x44524F4E);
  struct Voice {
    double hz, amplitude;
  };
  // D2, D3 twice (a quarter hertz apart: a slow beat), A3, D4, F#4, A4.
  const Voice voicesOfDrone[] = {{73.42, 0.22}, {146.83, 0.3},   {147.08, 0.22}, {220.0, 0.24},
                                 {293.66, 0.1}, {369.99, 0.035}, {440.0, 0.03}};
  Signal drone(length, 0.0);
  for (const Voice& voice : voicesOfDrone) {
    const int64_t cycles = synth::LoopCycles(voice.hz, length, rate);
    const int64_t swellCycles = 1 + int64_t(rng.Next() % 3);
    const double swellPhase = rng.Between(0.0, 2.0 * synth::kPi), phase = rng.Between(0.0, 2.0 * synth::kPi);
    for (size_t i = 0; i < length; ++i) {
      const double swell = 0.6 + 0.4 * Swell(swellCycles, i, length, swellPhase);
      drone[i] += voice.amplitude * swell * synth::LoopSine(cycles, int64_t(i), int64_t(length), phase);
    }
  }
  synth::SetLevel(drone, 1.0, 1.0);
  Filter soft;
  Signal air = NoiseLoop(length, rate, rng, [&](double noise, size_t i) {
    return soft.Step(noise, 600.0, 0.7, rate).low * (0.5 + 0.5 * Swell(2, i, length, 0.0));
  });
  synth::SetLevel(air, 0.04, 0.3);
  Add(drone, air, 1.0);
  synth::SetLevel(drone, 0.07, 0.4);
  synth::StartQuietly(drone, 1, rate);
  return drone;
}

Signal Bells(double rate, double seconds) {
  const size_t length = size_t(seconds * rate);
  Signal bells(length, 0.0);
  synth::MixWrapped(bells, voices::Bell(rate, voices::NoteHz(62)), 0, 1.0);           // D4
  synth::MixWrapped(bells, voices::Bell(rate, voices::NoteHz(57)), length / 2, 0.8);  // A3
  synth::Normalize({&bells}, 0.3);
  // The hum of the hall: D2 and A2, breathing once a loop.
  const int64_t low = synth::LoopCycles(73.42, length, rate), fifth = synth::LoopCycles(110.0, length, rate);
  for (size_t i = 0; i < length; ++i) {
    const double breath = 0.5 + 0.5 * Swell(1, i, length, 0.0);
    bells[i] +=
        0.03 * breath *
        (synth::LoopSine(low, int64_t(i), int64_t(length)) + 0.5 * synth::LoopSine(fifth, int64_t(i), int64_t(length)));
  }
  synth::StartQuietly(bells, 1, rate);
  return bells;
}

}  // namespace demo::ambience
