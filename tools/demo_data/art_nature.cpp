#include "art_nature.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {
constexpr float kPi = 3.14159265f;
}

void PaintSky(Canvas& canvas, const std::vector<Stop>& stops, uint32_t seed, float bottom) {
  VerticalGradient(canvas, stops, 0, bottom);
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const float n = Fbm(static_cast<float>(x) / 90.0f, static_cast<float>(y) / 40.0f, seed, 3) - 0.5f;
      Colour& c = canvas.At(x, y);
      c = {c.r * (1 + n * 0.08f), c.g * (1 + n * 0.08f), c.b * (1 + n * 0.06f)};
    }
  }
}

void PaintClouds(Canvas& canvas, float top, float bottom, Colour colour, float amount, uint32_t seed) {
  const float middle = (top + bottom) / 2, half = (bottom - top) / 2;
  for (int y = std::max(0, static_cast<int>(top)); y < std::min(canvas.Height(), static_cast<int>(bottom)); ++y) {
    const float band = 1 - std::abs(static_cast<float>(y) - middle) / half;
    for (int x = 0; x < canvas.Width(); ++x) {
      const float n =
          Fbm(static_cast<float>(x) / 160.0f + static_cast<float>(y) / 300.0f, static_cast<float>(y) / 45.0f, seed, 5);
      const float density = SmoothStep(0.48f, 0.72f, n) * SmoothStep(0.0f, 0.6f, band);
      canvas.Blend(x, y, colour, density * amount);
    }
  }
}

void PaintStars(Canvas& canvas, int count, float bottom, uint32_t seed) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const float x = rng.Range(0, static_cast<float>(canvas.Width()));
    const float y = rng.Range(0, 1) * rng.Range(0, 1) * bottom;  // more stars high up
    const float size = rng.Unit();
    const float bright = 0.35f + 0.65f * rng.Unit() * (1 - y / bottom * 0.6f);
    const Colour colour = Mix({255, 244, 220}, {200, 215, 255}, rng.Unit());
    if (size > 0.93f) {
      Glow(canvas, x, y, 5, colour, bright * 0.5f);
      FillDisc(canvas, x, y, 1.1f, colour, bright);
    } else {
      FillDisc(canvas, x, y, 0.55f + size * 0.35f, colour, bright);
    }
  }
}

void PaintMoon(Canvas& canvas, float cx, float cy, float radius) {
  Glow(canvas, cx, cy, radius * 5, {150, 170, 210}, 0.35f);
  FillDisc(canvas, cx, cy, radius, {246, 240, 218});
  // Quiet grey seas on the face.
  for (int i = 0; i < 5; ++i) {
    const float a = static_cast<float>(i) * 1.9f, d = radius * (0.2f + 0.12f * static_cast<float>(i % 3));
    FillDisc(canvas, cx + std::cos(a) * d, cy + std::sin(a) * d, radius * (0.18f + 0.05f * static_cast<float>(i % 2)),
             {214, 210, 196}, 0.6f);
  }
}

void PaintHills(Canvas& canvas, float baseY, float amplitude, float scale, Colour colour, uint32_t seed) {
  for (int x = 0; x < canvas.Width(); ++x) {
    const float crest = baseY - amplitude * (Fbm(static_cast<float>(x) / scale, 0.5f, seed, 3) - 0.5f) * 2;
    for (int y = std::max(0, static_cast<int>(crest) - 1); y < canvas.Height(); ++y) {
      canvas.Blend(x, y, colour, Clamp01(static_cast<float>(y) + 1 - crest));
    }
  }
}

void PaintGrass(Canvas& canvas, const GrassStyle& style, uint32_t seed) {
  Rng rng(seed);
  const float height = static_cast<float>(canvas.Height()) - style.top;
  for (int i = 0; i < style.blades; ++i) {
    // Blades further down are nearer: taller, wider, darker.
    const float depth = std::sqrt(rng.Unit());
    const float baseY = style.top + depth * height + 12 * depth;
    const float baseX = rng.Range(-30, static_cast<float>(canvas.Width()) + 10);
    const float length = style.length * (0.35f + 0.9f * depth) * rng.Range(0.6f, 1.2f);
    const float width = 0.8f + 3.2f * depth * rng.Range(0.6f, 1.1f);
    const float sway =
        style.wind * rng.Range(0.5f, 1.4f) + 0.25f * (ValueNoise(baseX / 60.0f, baseY / 60.0f, seed + 7) - 0.5f);
    const Colour base = Mix(style.far, style.near, depth);
    const Colour tip = Mix(base, style.tip, rng.Range(0.2f, 0.8f));
    float x = baseX, y = baseY;
    constexpr int kSegments = 5;
    for (int s = 0; s < kSegments; ++s) {
      const float t0 = static_cast<float>(s) / kSegments, t1 = static_cast<float>(s + 1) / kSegments;
      // The lean grows with height: the wind bends the top most.
      const float nx = baseX + sway * length * t1 * t1, ny = baseY - length * t1 * (1 - 0.25f * std::abs(sway) * t1);
      StrokeSegment(canvas, x, y, nx, ny, width * (1 - t0 * 0.9f), width * (1 - t1 * 0.9f), Mix(base, tip, t1));
      x = nx;
      y = ny;
    }
  }
}

void PaintWindStreaks(Canvas& canvas, int count, float top, float bottom, Colour colour, float alpha, uint32_t seed) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const float y = rng.Range(top, bottom), x = rng.Range(-100, static_cast<float>(canvas.Width()));
    const float length = rng.Range(60, 220), bend = rng.Range(-12, 12), a = alpha * rng.Range(0.4f, 1.0f);
    constexpr int kSegments = 12;
    float px = x, py = y;
    for (int s = 1; s <= kSegments; ++s) {
      const float t = static_cast<float>(s) / kSegments;
      const float nx = x + length * t, ny = y + bend * std::sin(t * kPi);
      const float fade = std::sin(t * kPi);
      StrokeSegment(canvas, px, py, nx, ny, 1.6f * fade + 0.3f, 1.6f * fade + 0.3f, colour, a * fade);
      px = nx;
      py = ny;
    }
  }
}

void PaintLamp(Canvas& canvas, float x, float y, float scale, float glow) {
  const Colour wood{46, 34, 30}, metal{36, 32, 34}, light{255, 214, 140};
  Glow(canvas, x, y, 120 * scale, {255, 190, 110}, 0.55f * glow);
  Glow(canvas, x, y, 40 * scale, {255, 230, 170}, 0.7f * glow);
  StrokeSegment(canvas, x, y + 14 * scale, x, y + 160 * scale, 5 * scale, 7 * scale, wood);
  StrokeSegment(canvas, x - 14 * scale, y - 16 * scale, x + 14 * scale, y - 16 * scale, 3 * scale, 3 * scale, metal);
  FillShape(
      canvas, x - 12 * scale, y - 16 * scale, x + 12 * scale, y + 14 * scale,
      [=](float px, float py) {
        const float half = 8 * scale + (py - y + 16 * scale) * 0.12f;
        return std::max(std::abs(px - x) - half, std::abs(py - y + 1 * scale) - 15 * scale);
      },
      Mix({90, 60, 40}, light, 0.35f + 0.65f * glow));
  FillEllipse(canvas, x, y, 4 * scale, 7 * scale, 0, Mix({140, 110, 80}, {255, 250, 225}, glow));
  StrokeSegment(canvas, x - 12 * scale, y + 14 * scale, x + 12 * scale, y + 14 * scale, 3 * scale, 3 * scale, metal);
  StrokeSegment(canvas, x, y - 18 * scale, x, y - 26 * scale, 2 * scale, 2 * scale, metal);
}

void PaintMoth(Canvas& canvas, float cx, float cy, float span, float open, float angle, float tint) {
  const float ca = std::cos(angle), sa = std::sin(angle), unit = span / 200.0f;
  const auto place = [&](float u, float v, float& px, float& py) {
    px = cx + (u * ca - v * sa) * unit;
    py = cy + (u * sa + v * ca) * unit;
  };
  const Colour wingFore = Mix({234, 228, 212}, {250, 214, 150}, tint);
  const Colour wingHind = Mix({214, 204, 184}, {236, 190, 130}, tint);
  const Colour edge = Mix({120, 100, 84}, {150, 104, 70}, tint);
  const Colour spot = {78, 66, 70};
  const float fold = 0.18f + 0.82f * open;  // the wings' width seen from above
  for (int side = -1; side <= 1; side += 2) {
    const float s = static_cast<float>(side);
    // Hind wing, then the fore wing over it, each with a darker rim.
    const float hindTilt = s * (0.5f + 0.25f * (1 - open));
    float px, py;
    place(s * 32 * fold, 24, px, py);
    FillEllipse(canvas, px, py, 36 * fold * unit + 2, 27 * unit, hindTilt + angle, edge);
    FillEllipse(canvas, px, py, 33 * fold * unit + 1, 24 * unit, hindTilt + angle, wingHind);
    place(s * 34 * fold, 32, px, py);
    FillDisc(canvas, px, py, 6 * unit * std::sqrt(fold), spot, 0.8f);
    FillDisc(canvas, px, py, 3 * unit * std::sqrt(fold), {240, 232, 210}, 0.9f);
    // The fore wing sweeps back over the hind wing, a long rounded triangle.
    const float foreTilt = s * (-0.22f - 0.2f * (1 - open));
    place(s * 54 * fold, -6, px, py);
    FillEllipse(canvas, px, py, 62 * fold * unit + 2, 25 * unit, foreTilt + angle, edge);
    FillEllipse(canvas, px, py, 58 * fold * unit + 1, 21.5f * unit, foreTilt + angle, wingFore);
    // A darker band across the fore wing.
    place(s * 66 * fold, -8, px, py);
    FillEllipse(canvas, px, py, 5 * fold * unit + 0.8f, 18 * unit, foreTilt + angle + s * 0.3f, edge, 0.35f);
    // Veins fanning from the body.
    for (int v = 0; v < 4; ++v) {
      float x0, y0, x1, y1;
      const float spread = -0.9f + 0.45f * static_cast<float>(v);
      place(s * 6, -8, x0, y0);
      place(s * (6 + 84 * fold * std::cos(spread * 0.6f)), -8 + 52 * std::sin(spread * 0.6f) - 4, x1, y1);
      StrokeSegment(canvas, x0, y0, x1, y1, 1.1f * unit + 0.3f, 0.4f, edge, 0.45f);
    }
    place(s * 40 * fold, -10, px, py);
    FillEllipse(canvas, px, py, 7 * fold * unit + 0.8f, 5 * unit, angle, spot, 0.55f);
    // Feathered antennae.
    float ax0, ay0, ax1, ay1;
    place(s * 3, -30, ax0, ay0);
    place(s * 22, -54, ax1, ay1);
    StrokeSegment(canvas, ax0, ay0, ax1, ay1, 1.6f * unit + 0.4f, 0.8f * unit + 0.3f, edge);
    for (int f = 1; f < 6; ++f) {
      const float t = static_cast<float>(f) / 6;
      const float bx = ax0 + (ax1 - ax0) * t, by = ay0 + (ay1 - ay0) * t;
      StrokeSegment(canvas, bx, by, bx + s * 4 * unit * ca, by - 4 * unit, 1.0f * unit + 0.2f, 0.3f, edge, 0.7f);
      StrokeSegment(canvas, bx, by, bx - s * 3 * unit * ca, by - 4 * unit, 1.0f * unit + 0.2f, 0.3f, edge, 0.7f);
    }
  }
  float bx, by;
  place(0, 4, bx, by);
  FillEllipse(canvas, bx, by, 34 * unit, 9 * unit, angle + kPi / 2, {92, 74, 64});
  FillEllipse(canvas, bx, by - 3 * unit, 28 * unit, 6 * unit, angle + kPi / 2,
              Mix({150, 128, 108}, {190, 146, 98}, tint));
  place(0, -28, bx, by);
  FillDisc(canvas, bx, by, 8 * unit, {110, 92, 80});
}

}  // namespace demo
