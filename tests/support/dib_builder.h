// Hand-assembled device-independent bitmaps for the GDI tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace dibtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8 & 0xFF);
}
inline void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

struct Header {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t size = 40;  // 40, 52, 56, 108, 124 or a wrong one
  uint32_t sizeImage = 0;
  uint16_t planes = 1;
  uint32_t masks[4] = {};  // written into headers of 52 bytes and more
};

// The info header, padded to its size (masks at byte 40 in the later kinds).
inline Bytes InfoHeader(const Header& h) {
  Bytes out;
  Put32(out, h.size);
  Put32(out, uint32_t(h.width));
  Put32(out, uint32_t(h.height));
  Put16(out, h.planes);
  Put16(out, h.bitCount);
  Put32(out, h.compression);
  Put32(out, h.sizeImage);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, h.coloursUsed);
  Put32(out, 0);
  for (uint32_t mask : h.masks)
    if (out.size() + 4 <= h.size) Put32(out, mask);
  if (h.size >= 40) out.resize(h.size, 0);
  return out;
}

inline void AppendColours(Bytes& info, std::initializer_list<uint32_t> rgbColours) {
  for (uint32_t rgb : rgbColours) {
    info.push_back(rgb & 0xFF);        // blue
    info.push_back(rgb >> 8 & 0xFF);   // green
    info.push_back(rgb >> 16 & 0xFF);  // red
    info.push_back(0);
  }
}

// A BMP file image: 14-byte file header, info, bits.
inline Bytes BmpFile(const Bytes& info, const Bytes& bits) {
  Bytes out = {'B', 'M'};
  Put32(out, uint32_t(14 + info.size() + bits.size()));
  Put32(out, 0);
  Put32(out, uint32_t(14 + info.size()));
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

}  // namespace dibtest
