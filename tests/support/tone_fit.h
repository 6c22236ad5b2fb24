// How pure a tone is, without an FFT: the tone fitted by least squares (a
// sine and a cosine at its frequency, and a constant) over a span, and the
// level of what is left; and the level at any one frequency by a Goertzel
// over a Hann-windowed span, for images and aliases at known places.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace kaze::test {

// The fitted tone's amplitude and the RMS of what is left, over `count`
// samples from `from`, `step` apart (2 for one channel of stereo).
struct ToneFit {
  double amplitude = 0;
  double residualRms = 0;
  double ResidualDb() const { return 20 * std::log10(residualRms * std::sqrt(2.0) / amplitude); }
};

template <typename Sample>
ToneFit FitTone(const std::vector<Sample>& samples, size_t from, size_t count, size_t step, double cyclesPerSample) {
  // Normal equations of [cos, sin, 1]: solved in closed form by Cramer.
  double a[3][3] = {}, b[3] = {};
  for (size_t i = 0; i < count; ++i) {
    double t = 2 * M_PI * cyclesPerSample * static_cast<double>(i);
    double basis[3] = {std::cos(t), std::sin(t), 1};
    double y = samples[from + i * step];
    for (int r = 0; r < 3; ++r) {
      b[r] += basis[r] * y;
      for (int c = 0; c < 3; ++c) a[r][c] += basis[r] * basis[c];
    }
  }
  auto det = [](double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  double whole = det(a), x[3];
  for (int k = 0; k < 3; ++k) {
    double m[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r][c] = c == k ? b[r] : a[r][c];
    x[k] = det(m) / whole;
  }
  double left = 0;
  for (size_t i = 0; i < count; ++i) {
    double t = 2 * M_PI * cyclesPerSample * static_cast<double>(i);
    double e = samples[from + i * step] - (x[0] * std::cos(t) + x[1] * std::sin(t) + x[2]);
    left += e * e;
  }
  return {std::hypot(x[0], x[1]), std::sqrt(left / static_cast<double>(count))};
}

// The amplitude of the component at `cyclesPerSample`, Hann-windowed.
template <typename Sample>
double LevelAt(const std::vector<Sample>& samples, size_t from, size_t count, size_t step, double cyclesPerSample) {
  double re = 0, im = 0, weights = 0;
  for (size_t i = 0; i < count; ++i) {
    double w = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / static_cast<double>(count));
    double t = 2 * M_PI * cyclesPerSample * static_cast<double>(i);
    double y = samples[from + i * step];
    re += w * y * std::cos(t);
    im += w * y * std::sin(t);
    weights += w;
  }
  return 2 * std::hypot(re, im) / weights;
}

}  // namespace kaze::test
