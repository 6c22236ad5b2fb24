// The pure part of CreateDIBitmap: a device-independent bitmap (info header,
// bit masks, colour table, pixel data) turned into 16-bit pixels of the
// display's format. Every size the header gives is checked against the two
// buffers before it is used; a bad image gives nothing, never a read or a
// write outside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ddraw/pixel_surface.h"

namespace kaze::platform {

// Limits on the bitmaps we make: a picture of this program is 640x480 at
// most; the bound keeps a forged header (or a short RLE stream that claims a
// huge picture) from asking for more than 8 MiB of pixels.
constexpr int32_t kDibMaxSide = 8192;
constexpr int64_t kDibMaxPixels = int64_t{2048} * 2048;

// Pixels top-down, `width` to a row, in `layout`.
struct DibPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint16_t> pixels;
};

// Colours 0x00RRGGBB top-down, `width` to a row.
struct DibColours {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> colours;
};

// Packs an 8-bit-per-channel colour by dropping the low bits of each channel.
uint16_t PackRgb(uint8_t red, uint8_t green, uint8_t blue, PixelLayout layout);
// Widens a 16-bit pixel to 8 bits per channel by repeating each channel's
// top bits, so that PackRgb gives the same pixel back.
void UnpackRgb(uint16_t pixel, PixelLayout layout, uint8_t& red, uint8_t& green, uint8_t& blue);

// The facts of an info header that decoding needs; nothing for a header
// that is not one of the accepted kinds or whose fields do not agree.
struct DibHeader {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // always positive here
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t colourCount = 0;  // colour table entries to read (bit counts 1, 4, 8)
  uint32_t masks[3] = {};    // red, green, blue (bit counts 16 and 32)
  size_t infoBytes = 0;      // header + masks + colour table
};
std::optional<DibHeader> ParseDibHeader(const uint8_t* info, size_t infoBytes);

// Bytes of pixel data that an uncompressed image of this header needs.
uint64_t DibUncompressedBytes(const DibHeader& header);

// Decodes the pixel data `bits` of the DIB whose header and colour table are
// in `info` into 8-bit-per-channel colours (what the vimage tool shows).
std::optional<DibColours> DecodeDibColours(const uint8_t* info, size_t infoBytes, const uint8_t* bits,
                                           size_t bitsBytes);

// Decodes the pixel data `bits` of the DIB whose header and colour table are
// in `info` into pixels of `layout`.
std::optional<DibPixels> DecodeDib(const uint8_t* info, size_t infoBytes, const uint8_t* bits, size_t bitsBytes,
                                   PixelLayout layout);

}  // namespace kaze::platform
