#include "host/headless/frame_files.h"

#include <zlib.h>

#include <bit>

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

}  // namespace kaze::host
