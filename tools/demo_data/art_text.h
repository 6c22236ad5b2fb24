// Lettering for the demo pictures: text shaped by HarfBuzz and rasterised by
// FreeType into a coverage mask, vertically (one column, top to bottom, with
// the vertical forms of punctuation and small kana) or horizontally.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "art_canvas.h"

namespace demo {

// Coverage 0..1 per pixel.
struct Mask {
  int width = 0;
  int height = 0;
  std::vector<float> coverage;
  float At(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

class Font {
 public:
  // `embolden` thickens strokes by that many pixels (thin Mincho strokes
  // read better at small sizes a little heavier). Throws when the file
  // cannot be opened.
  Font(const std::string& path, int pixelSize, float embolden = 0.0f);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // One column `width` pixels wide, centred; `spacing` extra pixels after
  // each character. The mask is as tall as the text's advance.
  Mask Vertical(const std::string& utf8, int width, float spacing = 0.0f) const;
  // One line; the mask is as wide as the advance and as tall as the font's
  // ascent plus descent.
  Mask Horizontal(const std::string& utf8, float spacing = 0.0f) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The fonts of the set; the paths are those of the Debian packages.
const char* MinchoPath();
const char* SansPath();
const char* SansBoldPath();

// Paints `colour` through the mask at (x, y) of the canvas.
void PaintMask(Canvas& canvas, const Mask& mask, int x, int y, Colour colour, float alpha = 1.0f);
// A soft dark (or light) halo around the lettering, for text over pictures.
void PaintHalo(Canvas& canvas, const Mask& mask, int x, int y, Colour colour, float alpha, int radius);

}  // namespace demo
