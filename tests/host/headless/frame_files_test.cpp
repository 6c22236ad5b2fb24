// The frame CRCs of the trace's "frame" lines.
#include "host/headless/frame_files.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kaze::test
