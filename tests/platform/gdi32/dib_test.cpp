// BMP/DIB decoding into the display's 16-bit formats: every accepted kind of
// bitmap against pixels worked out by hand for 5-6-5 and 5-5-5, and a set of
// damaged or forged bitmaps that must be refused without reading past their
// buffers.
#include "platform/gdi32/dib.h"

#include <gtest/gtest.h>
#include <wingdi.h>

#include <climits>
#include <random>

#include "support/dib_builder.h"

namespace {

using namespace dibtest;
using kaze::host::PixelLayout;
using kaze::platform::DecodeDib;
using Pixels = std::vector<uint16_t>;

// Both formats of every case: the info (header, masks, colour table) and the
// bits as separate, exactly sized buffers, so ASan sees any overread.
void ExpectPixels(const Bytes& info, const Bytes& bits, int32_t width, int32_t height, const Pixels& rgb565,
                  const Pixels& rgb555) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    std::vector<uint8_t> infoCopy(info), bitsCopy(bits);
    auto decoded = DecodeDib(infoCopy.data(), infoCopy.size(), bitsCopy.data(), bitsCopy.size(), layout);
    ASSERT_TRUE(decoded.has_value()) << (layout == PixelLayout::Rgb565 ? "565" : "555");
    EXPECT_EQ(decoded->width, width);
    EXPECT_EQ(decoded->height, height);
    EXPECT_EQ(decoded->pixels, layout == PixelLayout::Rgb565 ? rgb565 : rgb555)
        << (layout == PixelLayout::Rgb565 ? "565" : "555");
  }
}

bool Refused(const Bytes& info, const Bytes& bits) {
  std::vector<uint8_t> infoCopy(info), bitsCopy(bits);
  return !DecodeDib(infoCopy.data(), infoCopy.size(), bitsCopy.empty() ? nullptr : bitsCopy.data(), bitsCopy.size(),
                    PixelLayout::Rgb565);
}

// 3x2 pixels, 24 bits: the file's first row is the bottom one.
//   top:    white  12 34 56  0F 0F 0F
//   bottom: red    green     blue
Bytes TwentyFourBitRows() {
  return {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0,
          0xFF, 0xFF, 0xFF, 0x56, 0x34, 0x12, 0x0F, 0x0F, 0x0F, 0, 0, 0};
}

TEST(DibDecoding, TwentyFourBitRowsBottomUpAndTopDown) {
  ExpectPixels(InfoHeader({.width = 3, .height = 2}), TwentyFourBitRows(), 3, 2,
               {0xFFFF, 0x11AA, 0x0861, 0xF800, 0x07E0, 0x001F}, {0x7FFF, 0x08CA, 0x0421, 0x7C00, 0x03E0, 0x001F});
  ExpectPixels(InfoHeader({.width = 3, .height = -2}), TwentyFourBitRows(), 3, 2,
               {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x11AA, 0x0861}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x08CA, 0x0421});
}

// 24-bit pictures are packed a row at a time; the colours of the general
// per-pixel decode, packed one by one, are the reference. Random odd widths
// (rows padded to four bytes), both row orders, both formats.
TEST(DibDecoding, TwentyFourBitRowPackingMatchesThePixelByPixelDecode) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const int32_t width = static_cast<int32_t>(random() % 60) * 2 + 1;
    const int32_t height = static_cast<int32_t>(random() % 9) + 1;
    const Bytes info = InfoHeader({.width = width, .height = round % 2 == 0 ? height : -height});
    Bytes bits((size_t(width) * 3 + 3) / 4 * 4 * size_t(height));
    for (uint8_t& byte : bits) byte = static_cast<uint8_t>(random());
    auto colours = kaze::platform::DecodeDibColours(info.data(), info.size(), bits.data(), bits.size());
    ASSERT_TRUE(colours.has_value());
    for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
      Pixels expected;
      for (uint32_t rgb : colours->colours)
        expected.push_back(kaze::platform::PackRgb(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF, layout));
      auto decoded = DecodeDib(info.data(), info.size(), bits.data(), bits.size(), layout);
      ASSERT_TRUE(decoded.has_value());
      EXPECT_EQ(decoded->pixels, expected) << width << "x" << height;
    }
  }
}

TEST(DibDecoding, ThirtyTwoBitIgnoresTheFourthByte) {
  ExpectPixels(InfoHeader({.width = 2, .height = 1, .bitCount = 32}), {0x56, 0x34, 0x12, 0x00, 0x80, 0x80, 0x80, 0xFF},
               2, 1, {0x11AA, 0x8410}, {0x08CA, 0x4210});
}

TEST(DibDecoding, SixteenBitsDefaultToFiveFiveFive) {
  // 7FFF white, 4210 mid grey, 0001 the least blue; 2 bytes of row padding.
  ExpectPixels(InfoHeader({.width = 3, .height = 1, .bitCount = 16}), {0xFF, 0x7F, 0x10, 0x42, 0x01, 0x00, 0, 0}, 3, 1,
               {0xFFFF, 0x8430, 0x0001}, {0x7FFF, 0x4210, 0x0001});
}

TEST(DibDecoding, SixteenBitFieldsAfterThePlainHeader) {
  Bytes info = InfoHeader({.width = 3, .height = 1, .bitCount = 16, .compression = BI_BITFIELDS});
  Put32(info, 0xF800);
  Put32(info, 0x07E0);
  Put32(info, 0x001F);
  // Red, the lowest bit of a 6-bit green (lost in 5-5-5), full green.
  ExpectPixels(info, {0x00, 0xF8, 0x20, 0x00, 0xE0, 0x07, 0, 0}, 3, 1, {0xF800, 0x0020, 0x07E0},
               {0x7C00, 0x0000, 0x03E0});
}

TEST(DibDecoding, LaterHeadersCarryTheirMasksInside) {
  Header v5{.width = 1, .height = 1, .bitCount = 32, .compression = BI_BITFIELDS, .size = 124};
  v5.masks[0] = 0x000000FF, v5.masks[1] = 0x0000FF00, v5.masks[2] = 0x00FF0000;
  ExpectPixels(InfoHeader(v5), {0x12, 0x34, 0x56, 0x00}, 1, 1, {0x11AA}, {0x08CA});
  Header v4 = v5;
  v4.size = 108;
  ExpectPixels(InfoHeader(v4), {0x12, 0x34, 0x56, 0x00}, 1, 1, {0x11AA}, {0x08CA});
  for (uint32_t size : {52u, 56u, 108u, 124u})
    ExpectPixels(InfoHeader({.width = 1, .height = 1, .size = size}), {0xFF, 0xFF, 0xFF, 0}, 1, 1, {0xFFFF}, {0x7FFF});
}

TEST(DibDecoding, EightBitColourTableWithFewerColours) {
  Bytes info = InfoHeader({.width = 5, .height = 1, .bitCount = 8, .coloursUsed = 3});
  AppendColours(info, {0xFF0000, 0x00FF00, 0x123456});
  // Index 3 lies beyond the table: black.
  ExpectPixels(info, {0, 1, 2, 3, 2, 0, 0, 0}, 5, 1, {0xF800, 0x07E0, 0x11AA, 0x0000, 0x11AA},
               {0x7C00, 0x03E0, 0x08CA, 0x0000, 0x08CA});
}

TEST(DibDecoding, FourAndOneBitIndicesHighBitsFirst) {
  Bytes info4 = InfoHeader({.width = 3, .height = 2, .bitCount = 4});
  AppendColours(info4, {0x000000, 0xFFFFFF, 0xFF0000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  ExpectPixels(info4, {0x12, 0x00, 0, 0, 0x21, 0x10, 0, 0}, 3, 2, {0xF800, 0xFFFF, 0xFFFF, 0xFFFF, 0xF800, 0x0000},
               {0x7C00, 0x7FFF, 0x7FFF, 0x7FFF, 0x7C00, 0x0000});

  Bytes info1 = InfoHeader({.width = 10, .height = 1, .bitCount = 1});
  AppendColours(info1, {0x000000, 0xFFFFFF});
  const uint16_t W = 0xFFFF, B = 0x0000, w = 0x7FFF;
  ExpectPixels(info1, {0b10110000, 0b01000000, 0, 0}, 10, 1, {W, B, W, W, B, B, B, B, B, W},
               {w, B, w, w, B, B, B, B, B, w});
}

TEST(DibDecoding, RunLengthEightWithRunsAbsoluteMovesAndEnds) {
  Bytes info = InfoHeader({.width = 4, .height = 3, .bitCount = 8, .compression = BI_RLE8, .coloursUsed = 4});
  AppendColours(info, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
  Bytes bits = {0x03, 0x01,                          // bottom row: three red
                0x00, 0x00,                          // end of line
                0x00, 0x03, 0x02, 0x03, 0x01, 0x00,  // absolute: green blue red, padded
                0x00, 0x00,                          // end of line
                0x00, 0x02, 0x02, 0x00,              // move right by 2
                0x02, 0x03,                          // two blue
                0x00, 0x01};                         // end of bitmap
  ExpectPixels(info, bits, 4, 3,
               {0x0000, 0x0000, 0x001F, 0x001F, 0x07E0, 0x001F, 0xF800, 0x0000, 0xF800, 0xF800, 0xF800, 0x0000},
               {0x0000, 0x0000, 0x001F, 0x001F, 0x03E0, 0x001F, 0x7C00, 0x0000, 0x7C00, 0x7C00, 0x7C00, 0x0000});
}

TEST(DibDecoding, RunLengthFourAlternatesNibbles) {
  Bytes info = InfoHeader({.width = 4, .height = 2, .bitCount = 4, .compression = BI_RLE4});
  AppendColours(info, {0x000000, 0xFFFFFF, 0xFF0000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  Bytes bits = {0x00, 0x03, 0x12, 0x10,  // bottom row, absolute: white red white
                0x00, 0x00,              // end of line
                0x04, 0x12,              // white red white red
                0x00, 0x01};
  ExpectPixels(info, bits, 4, 2, {0xFFFF, 0xF800, 0xFFFF, 0xF800, 0xFFFF, 0xF800, 0xFFFF, 0x0000},
               {0x7FFF, 0x7C00, 0x7FFF, 0x7C00, 0x7FFF, 0x7C00, 0x7FFF, 0x0000});
}

TEST(DibDecoding, DamagedOrForgedHeadersAreRefused) {
  const Bytes enough(4096, 0);
  Bytes plain = InfoHeader({.width = 3, .height = 2});
  EXPECT_TRUE(Refused(Bytes(plain.begin(), plain.begin() + 39), enough)) << "short header";
  for (uint32_t size : {12u, 39u, 41u, 64u, 200u})
    EXPECT_TRUE(Refused(InfoHeader({.size = size}), enough)) << "header size " << size;
  Bytes v5 = InfoHeader({.size = 124});
  EXPECT_TRUE(Refused(Bytes(v5.begin(), v5.begin() + 100), enough)) << "header longer than its buffer";
  EXPECT_TRUE(Refused(InfoHeader({.width = 0}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.width = -1}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.height = 0}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.height = INT_MIN}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.planes = 2}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.bitCount = 2}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.bitCount = 0}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.compression = 4}), enough)) << "JPEG";
  EXPECT_TRUE(Refused(InfoHeader({.bitCount = 24, .compression = BI_BITFIELDS}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.bitCount = 4, .compression = BI_RLE8}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.height = -1, .bitCount = 8, .compression = BI_RLE8}), enough)) << "top-down RLE";
  EXPECT_TRUE(Refused(InfoHeader({.width = 100000, .height = 1}), enough));
  EXPECT_TRUE(Refused(InfoHeader({.width = 8000, .height = 8000, .bitCount = 8, .compression = BI_RLE8}), {0, 1}))
      << "a tiny RLE stream must not make a huge picture";
}

TEST(DibDecoding, TablesMasksAndRowsBeyondTheirBuffersAreRefused) {
  Bytes info8 = InfoHeader({.width = 1, .height = 1, .bitCount = 8});
  info8.resize(40 + 1000);  // 256 colours need 1024 bytes
  EXPECT_TRUE(Refused(info8, {0, 0, 0, 0}));

  Bytes rows = TwentyFourBitRows();
  rows.pop_back();
  EXPECT_TRUE(Refused(InfoHeader({.width = 3, .height = 2}), rows)) << "last row one byte short";

  Bytes fields = InfoHeader({.width = 1, .height = 1, .bitCount = 16, .compression = BI_BITFIELDS});
  Bytes cutMasks = fields;
  Put32(cutMasks, 0xF800);
  Put32(cutMasks, 0x07E0);
  EXPECT_TRUE(Refused(cutMasks, {0, 0, 0, 0})) << "third mask missing";
  for (uint32_t badMask : {0x0000u, 0xF00Fu}) {
    Bytes info = fields;
    Put32(info, 0xF800);
    Put32(info, badMask);
    Put32(info, 0x001F);
    EXPECT_TRUE(Refused(info, {0, 0, 0, 0})) << std::hex << badMask;
  }
}

TEST(DibDecoding, RunLengthStreamsThatRunOutAreRefused) {
  Bytes info = InfoHeader({.width = 8, .height = 2, .bitCount = 8, .compression = BI_RLE8, .coloursUsed = 2});
  AppendColours(info, {0x000000, 0xFFFFFF});
  EXPECT_TRUE(Refused(info, {0x00, 0x05, 0x01, 0x01, 0x01})) << "absolute run past the end";
  EXPECT_TRUE(Refused(info, {0x02, 0x01})) << "no end-of-bitmap";
  EXPECT_TRUE(Refused(info, {0x00, 0x02, 0x01})) << "move cut short";
  EXPECT_TRUE(Refused(info, {})) << "no data";
  // Runs past the right edge or below the last row are cut, not written.
  Bytes wild = {0xFF, 0x01, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x01};
  ExpectPixels(info, wild, 8, 2,
               {0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
               {0, 0, 0, 0, 0, 0, 0, 0, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF});
}

}  // namespace
