#include "host/headless/frame_files.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

#include "host/pixel_rgb.h"

namespace kaze::host {

uint32_t FrameCrc(const std::vector<uint16_t>& pixels) {
  uLong crc = crc32(0L, Z_NULL, 0);
  if constexpr (std::endian::native == std::endian::little) {
    // The words in memory are already the little-endian bytes.
    return static_cast<uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(pixels.data()), static_cast<uInt>(pixels.size() * 2)));
  }
  unsigned char bytes[2];
  for (uint16_t pixel : pixels) {
    bytes[0] = static_cast<unsigned char>(pixel & 0xFF);
    bytes[1] = static_cast<unsigned char>(pixel >> 8);
    crc = crc32(crc, bytes, 2);
  }
  return static_cast<uint32_t>(crc);
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
              platform::PixelLayout layout, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    error = "cannot start a PNG";
    return false;
  }
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) ToRgb(pixels[static_cast<size_t>(y) * width + x], layout, &row[x * 3]);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace kaze::host
