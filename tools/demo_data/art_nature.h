// The motifs of the demo pictures: skies, clouds, stars, hills, grass bent
// by the wind, a lamp, and the moth.
#pragma once

#include <cstdint>

#include "art_canvas.h"

namespace demo {

// A vertical sky gradient with fine noise so that the dithering has
// something to break up.
void PaintSky(Canvas& canvas, const std::vector<Stop>& stops, uint32_t seed, float bottom = -1);
// Soft clouds from noise, denser towards `band` (rows), drifting with the wind.
void PaintClouds(Canvas& canvas, float top, float bottom, Colour colour, float amount, uint32_t seed);
void PaintStars(Canvas& canvas, int count, float bottom, uint32_t seed);
void PaintMoon(Canvas& canvas, float cx, float cy, float radius);
// A ridge of hills whose crest is near `baseY`, filled down to the bottom.
void PaintHills(Canvas& canvas, float baseY, float amplitude, float scale, Colour colour, uint32_t seed);
// Grass from `top` down: blades leaning with `wind` (pixels of lean per
// pixel of height), their colour from `far` at the top to `near` at the foot.
struct GrassStyle {
  float top;
  float wind;
  Colour far;
  Colour near;
  Colour tip;
  int blades;
  float length;
};
void PaintGrass(Canvas& canvas, const GrassStyle& style, uint32_t seed);
// Pale streaks of wind over a picture.
void PaintWindStreaks(Canvas& canvas, int count, float top, float bottom, Colour colour, float alpha, uint32_t seed);
// A lantern on a post, its light `glow` (0..1).
void PaintLamp(Canvas& canvas, float x, float y, float scale, float glow);
// The moth seen from above, centred at (cx, cy), `span` pixels from wing
// tip to wing tip when open; `open` 0..1 folds the wings up (a flap seen
// from above narrows them); `tint` 0..1 warms it (lamp light).
void PaintMoth(Canvas& canvas, float cx, float cy, float span, float open, float angle, float tint = 0.0f);

}  // namespace demo
