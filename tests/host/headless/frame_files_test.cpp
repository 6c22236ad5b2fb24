// The frame CRCs of the trace's "frame" lines.
#include "host/headless/frame_files.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace kaze::test {
namespace {

TEST(FrameCrc, IsZlibsCrcOverLittleEndianWords) {
  std::vector<uint16_t> pixels = {0x3231, 0x3433, 0x3635, 0x3837, 0x0039};
  // The bytes "123456789\0": not the check value itself, but fixed by zlib.
  std::vector<uint16_t> check = {0x3231, 0x3433, 0x3635, 0x3837};
  EXPECT_EQ(host::FrameCrc(check), 0x9AE0DAAFu);  // CRC-32 of "12345678"
  EXPECT_NE(host::FrameCrc(pixels), host::FrameCrc(check));
  EXPECT_EQ(host::FrameCrc(std::vector<uint16_t>(640 * 480, 0)), 0xC656B350u);
}

// Every trace ever written holds zlib's values: the faster sum must give
// them for any length and any start in memory, through its folding loops
// and the bytes before and after them, and when a sum is carried on.
TEST(FrameCrc, LibdeflatesSumIsZlibsAtEveryLengthAndAlignment) {
  std::vector<unsigned char> bytes(5000);
  uint32_t value = 7;
  for (unsigned char& byte : bytes) {
    value = value * 1664525u + 1013904223u;
    byte = static_cast<unsigned char>(value >> 24);
  }
  const auto zlib = [](uint32_t crc, const unsigned char* data, size_t size) {
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
  };
  for (size_t offset = 0; offset < 64; ++offset)
    for (size_t size : {size_t{0}, size_t{1}, size_t{3}, size_t{15}, size_t{17}, size_t{63}, size_t{255}, size_t{257},
                        size_t{1023}, size_t{4093}}) {
      const unsigned char* data = bytes.data() + offset;
      ASSERT_EQ(libdeflate_crc32(0, data, size), zlib(0, data, size)) << "offset " << offset << " size " << size;
      const uint32_t head = zlib(0, data, size / 3);
      ASSERT_EQ(libdeflate_crc32(head, data + size / 3, size - size / 3), zlib(0, data, size))
          << "carried on: offset " << offset << " size " << size;
    }
  // A whole frame of detail, as the host sums it.
  std::vector<uint16_t> frame(640 * 480);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(i * 2654435761u >> 13);
  EXPECT_EQ(host::FrameCrc(frame), zlib(0, reinterpret_cast<const unsigned char*>(frame.data()), frame.size() * 2));
}

// A frame changed in a span of rows (a line of text, a blink; at the top,
// at the bottom, one word): its CRC from the change alone is the whole
// frame's, at every place and length.
TEST(FrameCrc, TheChangeAloneGivesTheChangedFramesSum) {
  std::vector<uint16_t> frame(640 * 480);
  uint32_t value = 99;
  const auto next = [&] { return value = value * 1103515245u + 12345u; };
  for (uint16_t& pixel : frame) pixel = static_cast<uint16_t>(next() >> 16);
  uint32_t crc = host::FrameCrc(frame);
  const size_t frameBytes = frame.size() * 2;
  for (auto [at, count] : {std::pair<size_t, size_t>{0, 640},
                           {640 * 479, 640},
                           {640 * 200, 640 * 37},
                           {12345, 1},
                           {0, 640 * 480},
                           {640 * 100 + 7, 3000}}) {
    const size_t bytes = count * 2;
    crc ^= host::FrameCrcTerm(frameBytes, at * 2, frame.data() + at, bytes);
    for (size_t i = at; i < at + count; ++i) frame[i] = static_cast<uint16_t>(next() >> 16);
    crc ^= host::FrameCrcTerm(frameBytes, at * 2, frame.data() + at, bytes);
    ASSERT_EQ(crc, host::FrameCrc(frame)) << "changed at " << at << ", " << count << " pixels";
  }
}

}  // namespace
}  // namespace kaze::test
