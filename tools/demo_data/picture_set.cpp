#include "picture_set.h"

#include <cmath>

#include "demo_layout.h"

namespace demo {

Canvas Under(const Canvas& backdrop, int x, int y, int width, int height) {
  return Crop(backdrop, x, y, width, height);
}

vimage::RgbPicture KeyedOverlay(const Canvas& plain, const Canvas& drawn, int screenX, int screenY) {
  vimage::RgbPicture picture = Dither(drawn, screenX, screenY);
  for (int y = 0; y < drawn.Height(); ++y) {
    for (int x = 0; x < drawn.Width(); ++x) {
      const Colour a = plain.At(x, y), b = drawn.At(x, y);
      const bool touched = std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 0.75f;
      uint32_t& pixel = picture.colours[static_cast<size_t>(y) * drawn.Width() + x];
      if (!touched || (x == 0 && y == 0)) {
        pixel = 0;
      } else if (To555(pixel) == 0) {
        pixel = 0x000008;  // the darkest blue that both formats keep
      }
    }
  }
  return picture;
}

void PaintCentredLine(Canvas& canvas, const Font& font, const std::string& text, int y, Colour colour, float spacing) {
  const Mask mask = font.Horizontal(text, spacing);
  PaintMask(canvas, mask, (canvas.Width() - mask.width) / 2, y, colour);
}

std::vector<NamedPicture> DrawPictureSet() {
  PictureSink sink;
  DrawIntroPictures(sink);
  DrawOpeningPictures(sink);
  DrawStoryPictures(sink);
  DrawBarPictures(sink);
  std::vector<NamedPicture> set;
  for (const Placement& place : Placements()) {
    auto found = sink.pictures.find(place.name);
    if (found != sink.pictures.end()) set.push_back({place.name, std::move(found->second)});
  }
  return set;
}

}  // namespace demo
