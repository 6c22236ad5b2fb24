#include "host/headless/frame_files.h"

#include <png.h>
#include <zlib.h>

#include <unistd.h>

#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdio>

#include "host/checked_file.h"
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

// A failed write is kept by the file, which takes no more: libpng writes on
// into nothing and the failure is told once the picture is through.
void PngWrite(png_structp png, png_bytep data, size_t length) {
  static_cast<CheckedFile*>(png_get_io_ptr(png))->Write(data, length);
}
void PngFlush(png_structp) {}

// A fresh file beside `path`, in the same folder so that it can be renamed
// to it.
bool OpenTemporaryBeside(CheckedFile& file, const std::string& path) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = path + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    if (file.Open(name, CheckedFile::Mode::New)) return true;
    if (file.Error() != EEXIST) return false;
  }
  return false;
}

// False when libpng gave up (it only does for want of memory here).
bool EncodePng(CheckedFile& file, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
               PixelLayout layout) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &file, PngWrite, PngFlush);
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

}  // namespace

int WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
             PixelLayout layout) {
  CheckedFile file;
  if (!OpenTemporaryBeside(file, path)) return file.Error();
  const bool encoded = EncodePng(file, pixels, width, height, layout);
  if (!encoded || !file.Close()) {
    const int error = file.Failed() ? file.Error() : ENOMEM;
    file.Remove();
    return error;
  }
  if (std::rename(file.Path().c_str(), path.c_str()) != 0) {
    const int error = errno;
    file.Remove();
    return error;
  }
  return 0;
}

}  // namespace kaze::host
