#include "host/headless/frame_files.h"

#include <libdeflate.h>

#include <bit>

namespace kaze::host {

// libdeflate's CRC-32 is zlib's (same polynomial, same initial and final
// inversion), folded with carry-less multiplication where the processor has
// it: several times zlib's speed, and every new frame is summed.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels) {
  if constexpr (std::endian::native == std::endian::little) {
    // The words in memory are already the little-endian bytes.
    return libdeflate_crc32(0, pixels.data(), pixels.size() * 2);
  }
  uint32_t crc = 0;
  unsigned char bytes[2];
  for (uint16_t pixel : pixels) {
    bytes[0] = static_cast<unsigned char>(pixel & 0xFF);
    bytes[1] = static_cast<unsigned char>(pixel >> 8);
    crc = libdeflate_crc32(crc, bytes, 2);
  }
  return crc;
}

}  // namespace kaze::host
