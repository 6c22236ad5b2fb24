// make-icon-file OUT.ico: writes group icon 149 as an icon file for the
// resource compiler, with its three images: 32x32 in 256 colours, 32x32 in
// 16 colours, 16x16 in 16 colours. Built for and run on the build machine.
//
// Each image gets a palette of its own: the picture's colours when they fit
// (the moth has six), else the nearest of a fixed palette (the 16 colours of
// the VGA, or a 6x6x6 colour cube). Clear pixels are masked out by the AND
// mask and drawn with colour 0.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "resources/icon_149.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Image {
  int size;
  int bitCount;  // 8 (256 colours) or 4 (16 colours)
  std::span<const uint32_t> argb;
};

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool IsClear(uint32_t argb) { return (argb >> 24) < 0x80; }

constexpr std::array<uint32_t, 16> kVgaColours = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                  0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::vector<uint32_t> FixedPalette(size_t colours) {
  if (colours == kVgaColours.size()) return {kVgaColours.begin(), kVgaColours.end()};
  std::vector<uint32_t> palette;
  for (uint32_t r = 0; r < 6; ++r)
    for (uint32_t g = 0; g < 6; ++g)
      for (uint32_t b = 0; b < 6; ++b) palette.push_back(r * 51 << 16 | g * 51 << 8 | b * 51);
  return palette;
}

// Colour 0 is black (the clear pixels); the others are the picture's own.
std::vector<uint32_t> PaletteFor(const Image& image) {
  const size_t colours = size_t{1} << image.bitCount;
  std::vector<uint32_t> palette = {0x000000};
  for (uint32_t argb : image.argb) {
    const uint32_t rgb = argb & 0xFFFFFF;
    if (IsClear(argb) || std::find(palette.begin(), palette.end(), rgb) != palette.end()) continue;
    if (palette.size() == colours) return FixedPalette(colours);
    palette.push_back(rgb);
  }
  palette.resize(colours, 0x000000);
  return palette;
}

uint8_t NearestIndex(const std::vector<uint32_t>& palette, uint32_t rgb) {
  size_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    int distance = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = static_cast<int>(palette[i] >> shift & 0xFF) - static_cast<int>(rgb >> shift & 0xFF);
      distance += d * d;
    }
    if (distance < bestDistance) bestDistance = distance, best = i;
  }
  return static_cast<uint8_t>(best);
}

// BITMAPINFOHEADER (height doubled for the AND mask), the colour table,
// the colour bits and the AND mask, rows bottom-up, each padded to 4 bytes.
Bytes IconImage(const Image& image) {
  const int size = image.size;
  const std::vector<uint32_t> palette = PaletteFor(image);
  const int colourStride = (size * image.bitCount + 31) / 32 * 4;
  const int maskStride = (size + 31) / 32 * 4;
  Bytes out;
  for (uint32_t v : {40u, static_cast<uint32_t>(size), static_cast<uint32_t>(2 * size)}) Put32(out, v);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(image.bitCount));
  Put32(out, 0);                                                          // BI_RGB
  Put32(out, static_cast<uint32_t>((colourStride + maskStride) * size));  // image bytes
  for (int i = 0; i < 4; ++i) Put32(out, 0);                              // resolution, colours used, important
  for (uint32_t rgb : palette) Put32(out, rgb);                           // RGBQUAD: blue, green, red, 0
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(colourStride), 0);
    for (int x = 0; x < size; ++x) {
      const uint32_t argb = image.argb[static_cast<size_t>(y * size + x)];
      const uint8_t index = IsClear(argb) ? 0 : NearestIndex(palette, argb & 0xFFFFFF);
      if (image.bitCount == 8)
        row[static_cast<size_t>(x)] = index;
      else
        row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(maskStride), 0);
    for (int x = 0; x < size; ++x)
      if (IsClear(image.argb[static_cast<size_t>(y * size + x)]))
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// ICONDIR, one ICONDIRENTRY an image, then the images.
Bytes IconFile(const std::vector<Image>& images) {
  std::vector<Bytes> bodies;
  for (const Image& image : images) bodies.push_back(IconImage(image));
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(images[i].size));
    out.push_back(static_cast<uint8_t>(images[i].size));
    out.push_back(images[i].bitCount == 8 ? 0 : static_cast<uint8_t>(1 << images[i].bitCount));  // 0: 256 or more
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(images[i].bitCount));
    Put32(out, static_cast<uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const Bytes& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-icon-file OUT.ico\n");
    return 2;
  }
  static constexpr auto kLarge = kaze::resources::Icon149Pixels();
  static constexpr auto kSmall = kaze::resources::Icon149SmallPixels();
  const Bytes file = IconFile({{kaze::resources::kIcon149Size, 8, kLarge},
                               {kaze::resources::kIcon149Size, 4, kLarge},
                               {kaze::resources::kIcon149SmallSize, 4, kSmall}});
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "make-icon-file: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
