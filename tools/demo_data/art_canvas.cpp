#include "art_canvas.h"

#include <algorithm>
#include <cmath>

namespace demo {

Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Colour c, float alpha) {
  if (!Inside(x, y) || alpha <= 0) return;
  Colour& p = At(x, y);
  p = Mix(p, c, std::min(alpha, 1.0f));
}

void Canvas::Add(int x, int y, Colour c, float alpha) {
  if (!Inside(x, y) || alpha <= 0) return;
  Colour& p = At(x, y);
  const float a = std::min(alpha, 1.0f);
  p = {std::max(p.r, p.r + (c.r - p.r) * a), std::max(p.g, p.g + (c.g - p.g) * a),
       std::max(p.b, p.b + (c.b - p.b) * a)};
}

uint32_t Rng::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

namespace {

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

float Lattice(int32_t x, int32_t y, uint32_t seed) { return static_cast<float>(Hash(x, y, seed) & 0xFFFF) / 65535.0f; }

}  // namespace

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float top = Lattice(ix, iy, seed) + (Lattice(ix + 1, iy, seed) - Lattice(ix, iy, seed)) * tx;
  const float bottom = Lattice(ix, iy + 1, seed) + (Lattice(ix + 1, iy + 1, seed) - Lattice(ix, iy + 1, seed)) * tx;
  return top + (bottom - top) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, weight = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u) * weight;
    total += weight;
    x *= 2.03f;
    y *= 2.03f;
    weight *= 0.5f;
  }
  return sum / total;
}

Colour Gradient(const std::vector<Stop>& stops, float t) {
  if (t <= stops.front().at) return stops.front().colour;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const float span = stops[i].at - stops[i - 1].at;
      return Mix(stops[i - 1].colour, stops[i].colour, span > 0 ? (t - stops[i - 1].at) / span : 1.0f);
    }
  }
  return stops.back().colour;
}

void VerticalGradient(Canvas& canvas, const std::vector<Stop>& stops, float top, float bottom) {
  if (bottom < 0) bottom = static_cast<float>(canvas.Height());
  for (int y = 0; y < canvas.Height(); ++y) {
    const Colour c = Gradient(stops, (static_cast<float>(y) + 0.5f - top) / (bottom - top));
    for (int x = 0; x < canvas.Width(); ++x) canvas.At(x, y) = c;
  }
}

void FillShape(Canvas& canvas, float left, float top, float right, float bottom, const Distance& distance,
               Colour colour, float alpha) {
  const int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
  const int x1 = std::min(canvas.Width() - 1, static_cast<int>(std::ceil(right)) + 1);
  const int y1 = std::min(canvas.Height() - 1, static_cast<int>(std::ceil(bottom)) + 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float coverage = Clamp01(0.5f - distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
      if (coverage > 0) canvas.Blend(x, y, colour, coverage * alpha);
    }
  }
}

void FillDisc(Canvas& canvas, float cx, float cy, float radius, Colour colour, float alpha) {
  FillShape(
      canvas, cx - radius, cy - radius, cx + radius, cy + radius,
      [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, colour, alpha);
}

void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, float angle, Colour colour, float alpha) {
  const float c = std::cos(angle), s = std::sin(angle), reach = std::max(rx, ry);
  FillShape(
      canvas, cx - reach, cy - reach, cx + reach, cy + reach,
      [=](float x, float y) {
        const float u = ((x - cx) * c + (y - cy) * s) / rx;
        const float v = (-(x - cx) * s + (y - cy) * c) / ry;
        // Distance along the ray, scaled back to pixels by the local radius.
        const float r = std::hypot(u, v);
        if (r < 1e-6f) return -std::min(rx, ry);
        const float local = std::hypot(u / r * rx, v / r * ry);
        return (r - 1.0f) * local;
      },
      colour, alpha);
}

void StrokeSegment(Canvas& canvas, float x0, float y0, float x1, float y1, float w0, float w1, Colour colour,
                   float alpha) {
  const float reach = std::max(w0, w1) * 0.5f + 1;
  const float dx = x1 - x0, dy = y1 - y0, length2 = std::max(dx * dx + dy * dy, 1e-6f);
  FillShape(
      canvas, std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach, std::max(y0, y1) + reach,
      [=](float x, float y) {
        const float t = Clamp01(((x - x0) * dx + (y - y0) * dy) / length2);
        const float half = (w0 + (w1 - w0) * t) * 0.5f;
        return std::hypot(x - (x0 + dx * t), y - (y0 + dy * t)) - half;
      },
      colour, alpha);
}

void Glow(Canvas& canvas, float cx, float cy, float radius, Colour colour, float strength) {
  const int x0 = std::max(0, static_cast<int>(cx - radius)),
            x1 = std::min(canvas.Width() - 1, static_cast<int>(cx + radius));
  const int y0 = std::max(0, static_cast<int>(cy - radius)),
            y1 = std::min(canvas.Height() - 1, static_cast<int>(cy + radius));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / radius;
      if (d >= 1) continue;
      const float fall = (1 - d) * (1 - d);
      canvas.Add(x, y, colour, strength * fall);
    }
  }
}

void Veil(Canvas& canvas, float left, float top, float right, float bottom, float feather, Colour colour,
          float amount) {
  for (int y = 0; y < canvas.Height(); ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float wy = SmoothStep(top - feather, top, fy) * (1 - SmoothStep(bottom, bottom + feather, fy));
    if (wy <= 0) continue;
    for (int x = 0; x < canvas.Width(); ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float wx = SmoothStep(left - feather, left, fx) * (1 - SmoothStep(right, right + feather, fx));
      if (wx > 0) canvas.Blend(x, y, colour, amount * wx * wy);
    }
  }
}

Canvas Crop(const Canvas& canvas, int x, int y, int width, int height, Colour outside) {
  Canvas piece(width, height, outside);
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      if (canvas.Inside(x + i, y + j)) piece.At(i, j) = canvas.At(x + i, y + j);
    }
  }
  return piece;
}

void Paste(Canvas& target, const Canvas& source, int x, int y) {
  for (int j = 0; j < source.Height(); ++j) {
    for (int i = 0; i < source.Width(); ++i) {
      if (target.Inside(x + i, y + j)) target.At(x + i, y + j) = source.At(i, j);
    }
  }
}

Canvas Halve(const Canvas& canvas) {
  Canvas half(canvas.Width() / 2, canvas.Height() / 2);
  for (int y = 0; y < half.Height(); ++y) {
    for (int x = 0; x < half.Width(); ++x) {
      const Colour a = canvas.At(2 * x, 2 * y), b = canvas.At(2 * x + 1, 2 * y), c = canvas.At(2 * x, 2 * y + 1),
                   d = canvas.At(2 * x + 1, 2 * y + 1);
      half.At(x, y) = {(a.r + b.r + c.r + d.r) / 4, (a.g + b.g + c.g + d.g) / 4, (a.b + b.b + c.b + d.b) / 4};
    }
  }
  return half;
}

namespace {

constexpr uint8_t kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                  {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                  {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                  {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// One channel to a multiple of `step` (8 or 4), the low bits filled with the
// high ones so that the 24-bit picture shows the level's true brightness.
uint32_t Quantise(float value, float threshold, int step, int bits) {
  const float level = std::floor(value / static_cast<float>(step) + threshold);
  const int maxLevel = (1 << bits) - 1;
  const int q = std::clamp(static_cast<int>(level), 0, maxLevel);
  return static_cast<uint32_t>((q << (8 - bits)) | (q >> (2 * bits - 8)));
}

}  // namespace

vimage::RgbPicture Dither(const Canvas& canvas, int screenX, int screenY) {
  vimage::RgbPicture picture;
  picture.width = canvas.Width();
  picture.height = canvas.Height();
  picture.colours.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const float threshold = (static_cast<float>(kBayer[(y + screenY) & 7][(x + screenX) & 7]) + 0.5f) / 64.0f;
      const Colour& c = canvas.At(x, y);
      const uint32_t r = Quantise(c.r, threshold, 8, 5), g = Quantise(c.g, threshold, 4, 6),
                     b = Quantise(c.b, threshold, 8, 5);
      picture.colours[static_cast<size_t>(y) * picture.width + x] = r << 16 | g << 8 | b;
    }
  }
  return picture;
}

uint16_t To565(uint32_t rgb) {
  return static_cast<uint16_t>(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 | ((rgb >> 3) & 31));
}

uint16_t To555(uint32_t rgb) {
  return static_cast<uint16_t>(((rgb >> 19) & 31) << 10 | ((rgb >> 11) & 31) << 5 | ((rgb >> 3) & 31));
}

}  // namespace demo
