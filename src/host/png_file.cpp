#include "host/png_file.h"

#include <png.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>

#include "host/checked_file.h"
#include "host/pixel_rgb.h"

namespace kaze::host {

namespace {

// Fills one row of width x 3 bytes, red, green and blue.
using RowFiller = std::function<void(int32_t y, unsigned char* row)>;

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
bool EncodePng(CheckedFile& file, int32_t width, int32_t height, const RowFiller& fillRow) {
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
    fillRow(y, row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

int WritePngFile(const std::string& path, int32_t width, int32_t height, const RowFiller& fillRow) {
  CheckedFile file;
  if (!OpenTemporaryBeside(file, path)) return file.Error();
  const bool encoded = EncodePng(file, width, height, fillRow);
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

}  // namespace

int WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
             PixelLayout layout) {
  return WritePngFile(path, width, height, [&](int32_t y, unsigned char* row) {
    for (int32_t x = 0; x < width; ++x) ToRgb(pixels[static_cast<size_t>(y) * width + x], layout, &row[x * 3]);
  });
}

int WriteRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  return WritePngFile(path, width, height, [&](int32_t y, unsigned char* row) {
    std::copy_n(rgb.data() + static_cast<size_t>(y) * rowBytes, rowBytes, row);
  });
}

}  // namespace kaze::host
