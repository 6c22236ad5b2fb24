// Icon 149 of the executable: a night moth with eye spots on its fore wings,
// 32x32. The art is the left half; the right half is its mirror image.
// Kept in this header so that whoever shows the window (the host) can take
// it without linking the engine.
#pragma once

#include <array>
#include <cstdint>

namespace kaze::resources {

constexpr int kIcon149Size = 32;

namespace icon149 {

// '.' clear, k body, a feeler, w wing, d wing edge, e eye ring, o eye; one
// string a row, kept as drawn.
// clang-format off
constexpr const char* kLeftHalf[kIcon149Size] = {
    "................",
    "................",
    "........a.......",
    ".........a......",
    "..........a.....",
    "...........a....",
    "............a...",
    ".............akk",
    "..ddddd.......kk",
    ".dwwwwwddd....kk",
    "dwweeewwwwdd..kk",
    "dweoooewwwwwd.kk",
    "dweoooewwwwwwdkk",
    "dweoooewwwwwwwkk",
    "dwweeewwwwwwwwkk",
    ".dwwwwwwwwwwwwkk",
    "..ddwwwwwwwwwwkk",
    "....ddwwwwwwwwkk",
    "......ddwwwwwwkk",
    ".......dwwwwwwkk",
    ".....ddwwwwwwwkk",
    "....dwwwwwwwwwkk",
    "...dwwweewwwww.k",
    "...dwweooewwww.k",
    "...dwwweewwww..k",
    "....dwwwwwww...k",
    ".....ddwwwd....k",
    ".......ddd.....k",
    "...............k",
    "................",
    "................",
    "................",
};
// clang-format on

constexpr uint32_t ColourOf(char c) {
  switch (c) {
    case 'k':
      return 0xFF3C2A1Cu;
    case 'a':
      return 0xFF5A4632u;
    case 'w':
      return 0xFFE6D6A8u;
    case 'd':
      return 0xFF8C6A3Cu;
    case 'e':
      return 0xFF2E2014u;
    case 'o':
      return 0xFFF0A030u;
    default:
      return 0x00000000u;
  }
}

}  // namespace icon149

// ARGB8888 (0xAARRGGBB), rows top to bottom.
constexpr std::array<uint32_t, kIcon149Size * kIcon149Size> Icon149Pixels() {
  std::array<uint32_t, kIcon149Size * kIcon149Size> pixels{};
  constexpr int half = kIcon149Size / 2;
  for (int y = 0; y < kIcon149Size; ++y) {
    for (int x = 0; x < half; ++x) {
      const uint32_t colour = icon149::ColourOf(icon149::kLeftHalf[y][x]);
      pixels[y * kIcon149Size + x] = colour;
      pixels[y * kIcon149Size + (kIcon149Size - 1 - x)] = colour;
    }
  }
  return pixels;
}

// The 16x16 image of the group: every other pixel of every other row, so
// that it keeps the few colours of the large one.
constexpr int kIcon149SmallSize = kIcon149Size / 2;
constexpr std::array<uint32_t, kIcon149SmallSize * kIcon149SmallSize> Icon149SmallPixels() {
  constexpr auto large = Icon149Pixels();
  std::array<uint32_t, kIcon149SmallSize * kIcon149SmallSize> pixels{};
  for (int y = 0; y < kIcon149SmallSize; ++y)
    for (int x = 0; x < kIcon149SmallSize; ++x)
      pixels[y * kIcon149SmallSize + x] = large[(2 * y) * kIcon149Size + 2 * x];
  return pixels;
}

}  // namespace kaze::resources
