// make-icons DIR NAME: writes the program's moth icon as DIR/<N>x<N>/apps/NAME.png
// in the usual icon theme sizes. 32x32 is the icon itself; larger sizes scale
// it up with sharp pixels, 16x16 averages each 2x2 block (weighted by
// opacity, so the clear background does not darken the edges).
#include <png.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/icon_149.h"

namespace {

using kaze::resources::kIcon149Size;

constexpr std::array<int, 6> kSizes = {16, 32, 48, 64, 128, 256};

// RGBA bytes, rows top to bottom.
using Rgba = std::vector<uint8_t>;

void Put(Rgba& out, size_t at, uint32_t argb) {
  out[at] = (argb >> 16) & 0xFF;
  out[at + 1] = (argb >> 8) & 0xFF;
  out[at + 2] = argb & 0xFF;
  out[at + 3] = argb >> 24;
}

Rgba ScaleUp(int size) {
  constexpr auto pixels = kaze::resources::Icon149Pixels();
  Rgba out(size_t(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      Put(out, (size_t(y) * size + x) * 4, pixels[(y * kIcon149Size / size) * kIcon149Size + x * kIcon149Size / size]);
  return out;
}

Rgba Halve() {
  constexpr auto pixels = kaze::resources::Icon149Pixels();
  constexpr int size = kIcon149Size / 2;
  Rgba out(size_t(size) * size * 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      uint32_t alpha = 0, sum[3] = {0, 0, 0};
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
          const uint32_t p = pixels[(2 * y + dy) * kIcon149Size + 2 * x + dx];
          const uint32_t a = p >> 24;
          alpha += a;
          for (int c = 0; c < 3; ++c) sum[c] += ((p >> (16 - 8 * c)) & 0xFF) * a;
        }
      }
      const size_t at = (size_t(y) * size + x) * 4;
      for (int c = 0; c < 3; ++c) out[at + c] = alpha ? uint8_t((sum[c] + alpha / 2) / alpha) : 0;
      out[at + 3] = uint8_t((alpha + 2) / 4);
    }
  }
  return out;
}

bool WritePng(const std::filesystem::path& path, int size, const Rgba& rgba) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y) png_write_row(png, rgba.data() + size_t(y) * size * 4);
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make-icons DIR NAME\n", stderr);
    return 2;
  }
  for (int size : kSizes) {
    const std::string edge = std::to_string(size);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / (edge + "x" + edge) / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file = folder / (std::string(argv[2]) + ".png");
    if (error || !WritePng(file, size, size < kIcon149Size ? Halve() : ScaleUp(size))) {
      std::fprintf(stderr, "make-icons: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
