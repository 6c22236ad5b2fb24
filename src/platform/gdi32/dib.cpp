#include "platform/gdi32/dib.h"

#include <wingdi.h>

#include <bit>
#include <type_traits>

namespace kaze::platform {

namespace {

// The info header sizes Windows knows: BITMAPINFOHEADER, the two Adobe
// extensions, BITMAPV4HEADER and BITMAPV5HEADER.
bool IsKnownHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool IsContiguousMask(uint32_t mask) {
  if (mask == 0) return false;
  uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

uint8_t WidenTo8(uint32_t value, int bits) {
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  uint32_t wide = 0;
  int filled = 0;
  while (filled < 8) {
    wide = (wide << bits) | value;
    filled += bits;
  }
  return static_cast<uint8_t>(wide >> (filled - 8));
}

uint8_t Channel(uint32_t pixel, uint32_t mask) {
  return WidenTo8((pixel & mask) >> std::countr_zero(mask), std::popcount(mask));
}

// Where a decoded row lands in the top-down output.
int32_t OutputRow(const DibHeader& header, int32_t fileRow) {
  return header.topDown ? fileRow : header.height - 1 - fileRow;
}

uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue) { return uint32_t{red} << 16 | uint32_t{green} << 8 | blue; }

struct Palette {
  std::vector<uint32_t> colours;
  // Indices beyond the table give black, as nothing else is safe to show.
  uint32_t operator[](uint32_t index) const { return index < colours.size() ? colours[index] : 0; }
};

Palette ReadPalette(const DibHeader& header, const uint8_t* info) {
  Palette palette;
  const uint8_t* table = info + header.infoBytes - size_t{header.colourCount} * 4;
  for (uint32_t i = 0; i < header.colourCount; ++i) {
    const uint8_t* quad = table + size_t{i} * 4;  // blue, green, red, reserved
    palette.colours.push_back(Rgb(quad[2], quad[1], quad[0]));
  }
  return palette;
}

uint32_t IndexAt(const uint8_t* row, int32_t x, int bitCount) {
  switch (bitCount) {
    case 1:
      return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
      return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
    default:
      return row[x];
  }
}

uint32_t DirectPixelAt(const DibHeader& header, const uint8_t* row, int32_t x) {
  switch (header.bitCount) {
    case 16: {
      uint32_t pixel = Le16(row + size_t(x) * 2);
      return Rgb(Channel(pixel, header.masks[0]), Channel(pixel, header.masks[1]), Channel(pixel, header.masks[2]));
    }
    case 24: {
      const uint8_t* p = row + size_t(x) * 3;  // blue, green, red
      return Rgb(p[2], p[1], p[0]);
    }
    default: {
      uint32_t pixel = Le32(row + size_t(x) * 4);
      return Rgb(Channel(pixel, header.masks[0]), Channel(pixel, header.masks[1]), Channel(pixel, header.masks[2]));
    }
  }
}

// Where decoded colours go: kept as 0x00RRGGBB, or packed to 16 bits.
struct KeepColours {
  uint32_t operator()(uint32_t rgb) const { return rgb; }
};
struct PackColours {
  PixelLayout layout;
  uint16_t operator()(uint32_t rgb) const { return PackRgb(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF, layout); }
};

// 24-bit rows (blue, green, red) packed straight to `layout`: the same
// pixels as DirectPixelAt and PackColours give one at a time, without the
// per-pixel switch on the depth and the layout.
template <PixelLayout layout>
void PackRow24(const uint8_t* row, int32_t width, uint16_t* to) {
  for (int32_t x = 0; x < width; ++x, row += 3) {
    const uint32_t blue = row[0] >> 3;
    if constexpr (layout == PixelLayout::Rgb565) {
      to[x] = static_cast<uint16_t>((row[2] >> 3) << 11 | (row[1] >> 2) << 5 | blue);
    } else {
      to[x] = static_cast<uint16_t>((row[2] >> 3) << 10 | (row[1] >> 3) << 5 | blue);
    }
  }
}

template <typename Pixel, typename Store>
bool DecodeUncompressed(const DibHeader& header, const uint8_t* info, const uint8_t* bits, size_t bitsBytes,
                        Store store, std::vector<Pixel>& out) {
  if (DibUncompressedBytes(header) > bitsBytes) return false;
  const size_t stride = (size_t{header.bitCount} * size_t(header.width) + 31) / 32 * 4;
  Palette palette = ReadPalette(header, info);
  out.resize(size_t(header.width) * size_t(header.height));
  for (int32_t fileRow = 0; fileRow < header.height; ++fileRow) {
    const uint8_t* row = bits + size_t(fileRow) * stride;
    Pixel* to = out.data() + size_t(OutputRow(header, fileRow)) * size_t(header.width);
    if constexpr (std::is_same_v<Store, PackColours>) {
      if (header.bitCount == 24) {  // what the program's pictures are: a row at a time
        if (store.layout == PixelLayout::Rgb565)
          PackRow24<PixelLayout::Rgb565>(row, header.width, to);
        else
          PackRow24<PixelLayout::Rgb555>(row, header.width, to);
        continue;
      }
    }
    for (int32_t x = 0; x < header.width; ++x) {
      to[x] = store(header.bitCount <= 8 ? palette[IndexAt(row, x, header.bitCount)] : DirectPixelAt(header, row, x));
    }
  }
  return true;
}

// Run-length coded 8- or 4-bit data: (count, index) runs and escapes for end
// of line (0 0), end of bitmap (0 1), a move (0 2 dx dy) and absolute runs
// (0 n, then n indices, padded to a 16-bit boundary). Pixels the stream skips
// stay black; runs past the right edge or below the last row are cut.
template <typename Pixel, typename Store>
bool DecodeRunLength(const DibHeader& header, const uint8_t* info, const uint8_t* bits, size_t bitsBytes, Store store,
                     std::vector<Pixel>& out) {
  size_t available = bitsBytes;
  if (header.sizeImage != 0 && header.sizeImage < available) available = header.sizeImage;
  const bool fourBit = header.compression == BI_RLE4;
  Palette palette = ReadPalette(header, info);
  out.assign(size_t(header.width) * size_t(header.height), store(0));
  int64_t x = 0;
  int64_t fileRow = 0;
  auto put = [&](uint32_t index) {
    if (x < header.width && fileRow < header.height)
      out[size_t(OutputRow(header, int32_t(fileRow))) * size_t(header.width) + size_t(x)] = store(palette[index]);
    ++x;
  };
  size_t at = 0;
  while (at + 2 <= available) {
    const uint8_t count = bits[at];
    const uint8_t value = bits[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(fourBit ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
    } else if (value == 0) {
      x = 0;
      ++fileRow;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (at + 2 > available) return false;
      x += bits[at];
      fileRow += bits[at + 1];
      at += 2;
    } else {
      const size_t dataBytes = fourBit ? (size_t{value} + 1) / 2 : value;
      const size_t paddedBytes = (dataBytes + 1) / 2 * 2;
      if (at + paddedBytes > available) return false;
      for (int i = 0; i < value; ++i) {
        put(fourBit ? (bits[at + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0xF : bits[at + i]);
      }
      at += paddedBytes;
    }
  }
  return false;  // the data ended before its end-of-bitmap mark
}

template <typename Pixel, typename Store>
bool Decode(const uint8_t* info, size_t infoBytes, const uint8_t* bits, size_t bitsBytes, Store store, int32_t& width,
            int32_t& height, std::vector<Pixel>& out) {
  std::optional<DibHeader> header = ParseDibHeader(info, infoBytes);
  if (!header || (bits == nullptr && bitsBytes != 0)) return false;
  width = header->width;
  height = header->height;
  if (header->compression == BI_RLE8 || header->compression == BI_RLE4)
    return DecodeRunLength(*header, info, bits, bitsBytes, store, out);
  return DecodeUncompressed(*header, info, bits, bitsBytes, store, out);
}

}  // namespace

uint16_t PackRgb(uint8_t red, uint8_t green, uint8_t blue, PixelLayout layout) {
  if (layout == PixelLayout::Rgb565) return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | blue >> 3);
  return static_cast<uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | blue >> 3);
}

void UnpackRgb(uint16_t pixel, PixelLayout layout, uint8_t& red, uint8_t& green, uint8_t& blue) {
  if (layout == PixelLayout::Rgb565) {
    red = WidenTo8(pixel >> 11 & 0x1F, 5);
    green = WidenTo8(pixel >> 5 & 0x3F, 6);
  } else {
    red = WidenTo8(pixel >> 10 & 0x1F, 5);
    green = WidenTo8(pixel >> 5 & 0x1F, 5);
  }
  blue = WidenTo8(pixel & 0x1F, 5);
}

std::optional<DibHeader> ParseDibHeader(const uint8_t* info, size_t infoBytes) {
  if (info == nullptr || infoBytes < 40) return std::nullopt;
  DibHeader header;
  header.headerSize = Le32(info);
  if (!IsKnownHeaderSize(header.headerSize) || header.headerSize > infoBytes) return std::nullopt;
  header.width = static_cast<int32_t>(Le32(info + 4));
  const int32_t height = static_cast<int32_t>(Le32(info + 8));
  const uint16_t planes = Le16(info + 12);
  header.bitCount = Le16(info + 14);
  header.compression = Le32(info + 16);
  header.sizeImage = Le32(info + 20);
  const uint32_t coloursUsed = Le32(info + 32);

  if (planes != 1 || header.width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
  header.topDown = height < 0;
  header.height = header.topDown ? -height : height;
  if (header.width > kDibMaxSide || header.height > kDibMaxSide ||
      int64_t{header.width} * header.height > kDibMaxPixels)
    return std::nullopt;

  const uint16_t bitCount = header.bitCount;
  switch (header.compression) {
    case BI_RGB:
      if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;
      break;
    case BI_RLE8:
    case BI_RLE4:
      // Run-length data is always stored bottom-up.
      if (bitCount != (header.compression == BI_RLE8 ? 8 : 4) || header.topDown) return std::nullopt;
      break;
    case BI_BITFIELDS:
      if (bitCount != 16 && bitCount != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  size_t end = header.headerSize;
  if (header.compression == BI_BITFIELDS) {
    // The masks follow a plain BITMAPINFOHEADER; the later headers hold them.
    const uint8_t* masks = info + 40;
    if (header.headerSize == 40) {
      if (infoBytes < 52) return std::nullopt;
      end = 52;
    }
    for (int i = 0; i < 3; ++i) {
      header.masks[i] = Le32(masks + 4 * i);
      if (!IsContiguousMask(header.masks[i])) return std::nullopt;
    }
  } else if (bitCount == 16) {
    header.masks[0] = 0x7C00, header.masks[1] = 0x03E0, header.masks[2] = 0x001F;
  } else if (bitCount == 32) {
    header.masks[0] = 0x00FF0000, header.masks[1] = 0x0000FF00, header.masks[2] = 0x000000FF;
  }

  if (bitCount <= 8) {
    const uint32_t full = 1u << bitCount;
    header.colourCount = coloursUsed == 0 || coloursUsed > full ? full : coloursUsed;
    const size_t tableBytes = size_t{header.colourCount} * 4;
    if (tableBytes > infoBytes - end) return std::nullopt;
    end += tableBytes;
  }
  header.infoBytes = end;
  return header;
}

uint64_t DibUncompressedBytes(const DibHeader& header) {
  const uint64_t stride = (uint64_t{header.bitCount} * uint64_t(header.width) + 31) / 32 * 4;
  return stride * uint64_t(header.height);
}

std::optional<DibColours> DecodeDibColours(const uint8_t* info, size_t infoBytes, const uint8_t* bits,
                                           size_t bitsBytes) {
  DibColours out;
  if (!Decode(info, infoBytes, bits, bitsBytes, KeepColours{}, out.width, out.height, out.colours)) return std::nullopt;
  return out;
}

std::optional<DibPixels> DecodeDib(const uint8_t* info, size_t infoBytes, const uint8_t* bits, size_t bitsBytes,
                                   PixelLayout layout) {
  DibPixels out;
  if (!Decode(info, infoBytes, bits, bitsBytes, PackColours{layout}, out.width, out.height, out.pixels))
    return std::nullopt;
  return out;
}

}  // namespace kaze::platform
