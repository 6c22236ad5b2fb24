// The whole demo picture set, drawn in memory: each builder adds its
// pictures by name, and the set comes back in the order of the layout.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "art_canvas.h"
#include "art_text.h"
#include "picture_files.h"

namespace demo {

struct NamedPicture {
  std::string name;
  vimage::RgbPicture picture;
};

// Every picture of the set, in the order of Placements().
std::vector<NamedPicture> DrawPictureSet();

// The pictures made so far, by name.
struct PictureSink {
  std::map<std::string, vimage::RgbPicture> pictures;
  void Add(const std::string& name, vimage::RgbPicture picture) { pictures[name] = std::move(picture); }
};

void DrawIntroPictures(PictureSink& sink);
void DrawOpeningPictures(PictureSink& sink);
void DrawStoryPictures(PictureSink& sink);
void DrawBarPictures(PictureSink& sink);

// A picture drawn at (x, y) over `backdrop` (a screen-sized painting): the
// part of the backdrop under it, dithered as the backdrop is there.
Canvas Under(const Canvas& backdrop, int x, int y, int width, int height);

// A keyed overlay: `drawn` is `plain` (the backdrop under the overlay) with
// the overlay's drawing on it. Pixels that the drawing left alone become the
// key colour, black, which the top-left pixel carries; drawn pixels never
// reduce to black in either 16-bit format.
vimage::RgbPicture KeyedOverlay(const Canvas& plain, const Canvas& drawn, int screenX, int screenY);

// Lettering centred in a `width` wide band at row `y` of the canvas.
void PaintCentredLine(Canvas& canvas, const Font& font, const std::string& text, int y, Colour colour,
                      float spacing = 0.0f);

}  // namespace demo
