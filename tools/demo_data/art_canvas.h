// A floating-point painting surface for the demo pictures, the few shapes
// they are drawn from (all with anti-aliased edges), deterministic noise, and
// the ordered dithering that turns a painting into 16-bit steps.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "picture_files.h"

namespace demo {

// Channels 0..255, kept as floats until the picture is dithered.
struct Colour {
  float r = 0, g = 0, b = 0;
};

Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float k);
float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Colour fill = {});
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Colour& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Colour& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // Paints `c` over pixel (x, y) with weight `alpha`; outside pixels are ignored.
  void Blend(int x, int y, Colour c, float alpha);
  // Adds light: the pixel moves towards `c` by `alpha` without darkening.
  void Add(int x, int y, Colour c, float alpha);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Colour> pixels_;
};

// A small xorshift generator: the same numbers on every machine.
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) { Next(); }
  uint32_t Next();
  float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
  float Range(float low, float high) { return low + (high - low) * Unit(); }

 private:
  uint32_t state_;
};

// Smooth value noise in 0..1 on an integer lattice hashed with `seed`, and
// its sum over `octaves` halving scales.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);

struct Stop {
  float at;
  Colour colour;
};
Colour Gradient(const std::vector<Stop>& stops, float t);
void VerticalGradient(Canvas& canvas, const std::vector<Stop>& stops, float top = 0, float bottom = -1);

// Shapes by signed distance (negative inside, in pixels) over a bounding box;
// the pixel's coverage is the distance clamped across one pixel.
using Distance = std::function<float(float x, float y)>;
void FillShape(Canvas& canvas, float left, float top, float right, float bottom, const Distance& distance,
               Colour colour, float alpha = 1.0f);
void FillDisc(Canvas& canvas, float cx, float cy, float radius, Colour colour, float alpha = 1.0f);
// An ellipse with half-axes rx, ry turned by `angle` radians.
void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, float angle, Colour colour,
                 float alpha = 1.0f);
// A segment whose width goes from w0 to w1, with round ends.
void StrokeSegment(Canvas& canvas, float x0, float y0, float x1, float y1, float w0, float w1, Colour colour,
                   float alpha = 1.0f);
// A soft radial light: strength at the centre, falling to nothing at `radius`.
void Glow(Canvas& canvas, float cx, float cy, float radius, Colour colour, float strength);
// Moves every pixel of a feathered rectangle towards `colour` by `amount`.
void Veil(Canvas& canvas, float left, float top, float right, float bottom, float feather, Colour colour, float amount);

Canvas Crop(const Canvas& canvas, int x, int y, int width, int height, Colour outside = {});
void Paste(Canvas& target, const Canvas& source, int x, int y);

// Half the size, each pixel the mean of four.
Canvas Halve(const Canvas& canvas);

// Ordered dithering (8x8 Bayer) to 5-6-5 steps, the pattern anchored at the
// screen position (screenX, screenY) where the picture is drawn, so that a
// piece of a background dithers exactly as the background does there.
vimage::RgbPicture Dither(const Canvas& canvas, int screenX = 0, int screenY = 0);

// The 16-bit values the display makes of a colour, as its loader truncates.
uint16_t To565(uint32_t rgb);
uint16_t To555(uint32_t rgb);

}  // namespace demo
