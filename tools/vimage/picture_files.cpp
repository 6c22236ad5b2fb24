#include "picture_files.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/png_file.h"
#include "platform/gdi32/dib.h"

namespace vimage {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8 & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

std::optional<RgbPicture> ReadPng(const std::filesystem::path& path, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = image.message;
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGB;  // alpha, if any, is laid over black
  if (image.width > uint32_t(kaze::platform::kDibMaxSide) || image.height > uint32_t(kaze::platform::kDibMaxSide)) {
    png_image_free(&image);
    error = "picture too large";
    return std::nullopt;
  }
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    error = image.message;
    png_image_free(&image);
    return std::nullopt;
  }
  RgbPicture picture{int32_t(image.width), int32_t(image.height), {}};
  picture.colours.reserve(size_t(image.width) * image.height);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    picture.colours.push_back(uint32_t{rgb[i]} << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  return picture;
}

bool WritePng(const std::filesystem::path& path, const RgbPicture& picture, std::string& error) {
  std::vector<uint8_t> rgb;
  rgb.reserve(picture.colours.size() * 3);
  for (uint32_t colour : picture.colours) {
    rgb.push_back(colour >> 16 & 0xFF);
    rgb.push_back(colour >> 8 & 0xFF);
    rgb.push_back(colour & 0xFF);
  }
  // The program's own writer, as for its snapshots: whole or no file.
  if (const int failure = kaze::host::WriteRgbPng(path.string(), rgb, picture.width, picture.height); failure != 0) {
    error = std::strerror(failure);
    return false;
  }
  return true;
}

std::vector<uint8_t> MakeBmp24(const RgbPicture& picture) {
  const uint32_t stride = (uint32_t(picture.width) * 3 + 3) / 4 * 4;
  const uint32_t pixelBytes = stride * uint32_t(picture.height);
  std::vector<uint8_t> bmp;
  bmp.reserve(54 + pixelBytes);
  bmp.push_back('B');
  bmp.push_back('M');
  Put32(bmp, 54 + pixelBytes);
  Put32(bmp, 0);   // reserved
  Put32(bmp, 54);  // pixel data offset
  Put32(bmp, 40);  // BITMAPINFOHEADER
  Put32(bmp, uint32_t(picture.width));
  Put32(bmp, uint32_t(picture.height));  // bottom-up
  Put16(bmp, 1);
  Put16(bmp, 24);
  Put32(bmp, 0);  // BI_RGB
  Put32(bmp, pixelBytes);
  Put32(bmp, 2835);  // 72 dpi
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  for (int32_t y = picture.height - 1; y >= 0; --y) {
    const uint32_t* row = picture.colours.data() + size_t(y) * size_t(picture.width);
    for (int32_t x = 0; x < picture.width; ++x) {
      bmp.push_back(row[x] & 0xFF);
      bmp.push_back(row[x] >> 8 & 0xFF);
      bmp.push_back(row[x] >> 16 & 0xFF);
    }
    bmp.resize(bmp.size() + (stride - uint32_t(picture.width) * 3), 0);
  }
  return bmp;
}

std::optional<RgbPicture> PictureOfBmp(const std::vector<uint8_t>& bmp) {
  if (bmp.size() < 14) return std::nullopt;
  const uint32_t offset = Le32(bmp.data() + 10);
  if (offset > bmp.size()) return std::nullopt;
  auto colours =
      kaze::platform::DecodeDibColours(bmp.data() + 14, bmp.size() - 14, bmp.data() + offset, bmp.size() - offset);
  if (!colours) return std::nullopt;
  return RgbPicture{colours->width, colours->height, std::move(colours->colours)};
}

bool HasExtension(const std::filesystem::path& path, const char* extension) {
  std::string name = path.extension().string();
  std::string wanted = extension;
  if (name.size() != wanted.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(wanted[i])))
      return false;
  return true;
}

}  // namespace vimage
