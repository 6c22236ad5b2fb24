// Files the vimage tool reads and writes: whole files as bytes, PNG (read
// through libpng, written by the program's PNG writer), and the 24-bit BMP
// file images it makes of PNG pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vimage {

// Pixels top-down, 0x00RRGGBB.
struct RgbPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> colours;
};

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path);
bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// PNG files; `error` says what went wrong. A file written is complete or
// not there.
std::optional<RgbPicture> ReadPng(const std::filesystem::path& path, std::string& error);
bool WritePng(const std::filesystem::path& path, const RgbPicture& picture, std::string& error);

// A BMP file image: 24 bits per pixel, rows bottom-up.
std::vector<uint8_t> MakeBmp24(const RgbPicture& picture);

// The picture of a BMP file image, read the way the program's loader reads
// it (pixel data at the offset in byte 10, info header at byte 14); nothing
// when the loader would refuse it.
std::optional<RgbPicture> PictureOfBmp(const std::vector<uint8_t>& bmp);

// True for a name ending in `extension` in any letter case.
bool HasExtension(const std::filesystem::path& path, const char* extension);

}  // namespace vimage
