#include "sound_synth.h"

#include <algorithm>
#include <cmath>

namespace demo::synth {

uint32_t Rng::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Rng::Uniform() { return double(Next() >> 8) / double(1u << 24); }

double Rng::Between(double low, double high) { return low + (high - low) * Uniform(); }

Signal PeriodicCurve(size_t length, int knots, Rng& rng) {
  std::vector<double> heights(static_cast<size_t>(knots));
  for (double& height : heights) height = rng.Uniform();
  auto at = [&](int64_t k) { return heights[size_t((k % knots + knots) % knots)]; };
  Signal curve(length);
  for (size_t i = 0; i < length; ++i) {
    const double position = double(i) * knots / double(length);
    const int64_t k = int64_t(position);
    const double t = position - double(k);
    const double p0 = at(k - 1), p1 = at(k), p2 = at(k + 1), p3 = at(k + 2);
    const double value = p1 + 0.5 * t * (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
    curve[i] = std::clamp(value, 0.0, 1.0);
  }
  return curve;
}

double LoopSine(int64_t cycles, int64_t i, int64_t length, double phase) {
  const int64_t step = (cycles % length) * (i % length) % length;
  return std::sin(2.0 * kPi * double(step) / double(length) + phase);
}

int64_t LoopCycles(double hz, size_t length, double rate) {
  return std::max<int64_t>(1, std::llround(hz * double(length) / rate));
}

Filter::Out Filter::Step(double in, double cutoffHz, double q, double rate) {
  const double g = std::tan(kPi * std::min(cutoffHz, rate * 0.45) / rate);
  const double k = 1.0 / q;
  const double a1 = 1.0 / (1.0 + g * (g + k));
  const double a2 = g * a1;
  const double a3 = g * a2;
  const double v3 = in - ic2_;
  const double v1 = a1 * ic1_ + a2 * v3;
  const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2.0 * v1 - ic1_;
  ic2_ = 2.0 * v2 - ic2_;
  return {v2, v1, in - k * v1 - v2};
}

Signal CloseLoop(const Signal& extended, size_t length, size_t overlap) {
  Signal loop(extended.begin(), extended.begin() + ptrdiff_t(length));
  for (size_t i = 0; i < overlap; ++i) {
    // The head fades in from the overlap (which continues sample length-1)
    // with weights that start and end flat, so the slope runs on too.
    const double x = 0.5 - 0.5 * std::cos(kPi * double(i) / double(overlap));
    const double angle = 0.5 * kPi * x;
    loop[i] = extended[i] * std::sin(angle) + extended[length + i] * std::cos(angle);
  }
  return loop;
}

void MixWrapped(Signal& out, const Signal& event, size_t start, double gain) {
  for (size_t i = 0; i < event.size(); ++i) out[(start + i) % out.size()] += gain * event[i];
}

void MixClipped(Signal& out, const Signal& event, size_t start, double gain) {
  for (size_t i = 0; i < event.size() && start + i < out.size(); ++i) out[start + i] += gain * event[i];
}

void Normalize(std::vector<Signal*> signals, double peak) {
  double largest = 0.0;
  for (const Signal* signal : signals)
    for (double value : *signal) largest = std::max(largest, std::fabs(value));
  if (largest == 0.0) return;
  for (Signal* signal : signals)
    for (double& value : *signal) value *= peak / largest;
}

void SetLevel(Signal& signal, double rms, double peak) {
  double sum = 0.0, largest = 0.0;
  for (double value : signal) {
    sum += value * value;
    largest = std::max(largest, std::fabs(value));
  }
  if (largest == 0.0) return;
  const double scale = std::min(rms / std::sqrt(sum / double(signal.size())), peak / largest);
  for (double& value : signal) value *= scale;
}

namespace {

// The sum of a frame's magnitudes, frames counted round the loop.
double Magnitude(const Signal& loop, size_t channels, size_t frame) {
  const size_t frames = loop.size() / channels;
  double sum = 0.0;
  for (size_t c = 0; c < channels; ++c) sum += std::fabs(loop[(frame % frames) * channels + c]);
  return sum;
}

}  // namespace

void StartBefore(Signal& loop, size_t channels, double rate, size_t frame) {
  const size_t frames = loop.size() / channels, reach = size_t(0.01 * rate);
  frame += frames;  // so that looking back never goes below 0
  size_t first = frame;
  for (size_t at = frame - reach; at <= frame; ++at)
    if (Magnitude(loop, channels, at) < Magnitude(loop, channels, first)) first = at;
  std::rotate(loop.begin(), loop.begin() + ptrdiff_t((first % frames) * channels), loop.end());
}

void StartQuietly(Signal& loop, size_t channels, double rate) {
  // The quietest window, by a running sum of magnitudes round the loop.
  const size_t frames = loop.size() / channels, window = std::min(frames, size_t(0.2 * rate));
  double sum = 0.0;
  for (size_t i = 0; i < window; ++i) sum += Magnitude(loop, channels, i);
  double quietest = sum;
  size_t best = 0;
  for (size_t start = 1; start < frames; ++start) {
    sum += Magnitude(loop, channels, start + window - 1) - Magnitude(loop, channels, start - 1);
    if (sum < quietest) quietest = sum, best = start;
  }
  StartBefore(loop, channels, rate, best + window / 2);
}

Signal Interleave(const Signal& left, const Signal& right) {
  Signal both(left.size() * 2);
  for (size_t i = 0; i < left.size(); ++i) {
    both[2 * i] = left[i];
    both[2 * i + 1] = right[i];
  }
  return both;
}

}  // namespace demo::synth
