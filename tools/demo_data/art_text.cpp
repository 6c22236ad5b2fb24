#include "art_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace demo {

const char* MinchoPath() { return "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"; }
const char* SansPath() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }
const char* SansBoldPath() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"; }

struct Font::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  hb_font_t* font = nullptr;
  int pixelSize = 0;
  float embolden = 0;
};

Font::Font(const std::string& path, int pixelSize, float embolden) : impl_(std::make_unique<Impl>()) {
  impl_->pixelSize = pixelSize;
  impl_->embolden = embolden;
  if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType does not start");
  if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
    FT_Done_FreeType(impl_->library);
    throw std::runtime_error("cannot open the font " + path);
  }
  FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(pixelSize));
  impl_->font = hb_ft_font_create_referenced(impl_->face);
  hb_ft_font_set_load_flags(impl_->font, FT_LOAD_NO_HINTING);
}

Font::~Font() {
  hb_font_destroy(impl_->font);
  FT_Done_Face(impl_->face);
  FT_Done_FreeType(impl_->library);
}

namespace {

struct Placed {
  unsigned glyph;
  float x, y;  // the glyph's horizontal origin, pixels, y down
};

// Shapes `utf8` and returns each glyph's origin and the pen's total advance.
std::vector<Placed> Shape(hb_font_t* font, const std::string& utf8, bool vertical, float spacing, float& advance) {
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf8(buffer, utf8.c_str(), static_cast<int>(utf8.size()), 0, -1);
  hb_buffer_set_direction(buffer, vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
  hb_buffer_set_script(buffer, HB_SCRIPT_HIRAGANA);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  const hb_feature_t features[] = {{HB_TAG('v', 'e', 'r', 't'), 1, 0, ~0u}, {HB_TAG('v', 'r', 't', '2'), 1, 0, ~0u}};
  hb_shape(font, buffer, vertical ? features : nullptr, vertical ? 2 : 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  std::vector<Placed> placed;
  float penX = 0, penY = 0;  // y down
  for (unsigned i = 0; i < count; ++i) {
    placed.push_back({info[i].codepoint, penX + static_cast<float>(pos[i].x_offset) / 64.0f,
                      penY - static_cast<float>(pos[i].y_offset) / 64.0f});
    if (vertical) {
      penY += -static_cast<float>(pos[i].y_advance) / 64.0f + spacing;
    } else {
      penX += static_cast<float>(pos[i].x_advance) / 64.0f + spacing;
    }
  }
  advance = vertical ? penY - spacing : penX - spacing;
  hb_buffer_destroy(buffer);
  return placed;
}

void Rasterise(FT_Face face, float embolden, const std::vector<Placed>& placed, float originX, float originY,
               Mask& mask) {
  for (const Placed& p : placed) {
    if (FT_Load_Glyph(face, p.glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
    if (embolden > 0 && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Embolden(&face->glyph->outline, static_cast<FT_Pos>(embolden * 64));
    }
    const float gx = originX + p.x, gy = originY + p.y;
    const int whole_x = static_cast<int>(std::floor(gx)), whole_y = static_cast<int>(std::floor(gy));
    // The fraction of a pixel goes into the outline, so glyphs sit where
    // the shaping put them.
    FT_Outline_Translate(&face->glyph->outline, static_cast<FT_Pos>((gx - static_cast<float>(whole_x)) * 64),
                         -static_cast<FT_Pos>((gy - static_cast<float>(whole_y)) * 64));
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) continue;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int left = whole_x + face->glyph->bitmap_left, top = whole_y - face->glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
        float& c = mask.coverage[static_cast<size_t>(y) * mask.width + x];
        c = std::min(1.0f, c + static_cast<float>(bitmap.buffer[row * bitmap.pitch + col]) / 255.0f);
      }
    }
  }
}

}  // namespace

Mask Font::Vertical(const std::string& utf8, int width, float spacing) const {
  float advance = 0;
  const std::vector<Placed> placed = Shape(impl_->font, utf8, true, spacing, advance);
  Mask mask;
  mask.width = width;
  mask.height = static_cast<int>(std::ceil(advance));
  mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
  // The vertical pen runs down the column's centre line.
  Rasterise(impl_->face, impl_->embolden, placed, static_cast<float>(width) / 2.0f, 0.0f, mask);
  return mask;
}

Mask Font::Horizontal(const std::string& utf8, float spacing) const {
  float advance = 0;
  const std::vector<Placed> placed = Shape(impl_->font, utf8, false, spacing, advance);
  const float ascent = static_cast<float>(impl_->face->size->metrics.ascender) / 64.0f;
  const float descent = -static_cast<float>(impl_->face->size->metrics.descender) / 64.0f;
  Mask mask;
  mask.width = static_cast<int>(std::ceil(advance)) + 1;
  mask.height = static_cast<int>(std::ceil(ascent + descent));
  mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
  Rasterise(impl_->face, impl_->embolden, placed, 0.0f, ascent, mask);
  return mask;
}

void PaintMask(Canvas& canvas, const Mask& mask, int x, int y, Colour colour, float alpha) {
  for (int j = 0; j < mask.height; ++j) {
    for (int i = 0; i < mask.width; ++i) canvas.Blend(x + i, y + j, colour, mask.At(i, j) * alpha);
  }
}

void PaintHalo(Canvas& canvas, const Mask& mask, int x, int y, Colour colour, float alpha, int radius) {
  for (int j = -radius; j < mask.height + radius; ++j) {
    for (int i = -radius; i < mask.width + radius; ++i) {
      float best = 0;
      for (int dj = -radius; dj <= radius; ++dj) {
        for (int di = -radius; di <= radius; ++di) {
          const int u = i + di, v = j + dj;
          if (u < 0 || v < 0 || u >= mask.width || v >= mask.height) continue;
          const float fall = 1.0f - std::hypot(static_cast<float>(di), static_cast<float>(dj)) / (radius + 1.0f);
          best = std::max(best, mask.At(u, v) * fall);
        }
      }
      canvas.Blend(x + i, y + j, colour, best * alpha);
    }
  }
}

}  // namespace demo
