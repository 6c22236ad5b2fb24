// Reading back the Y4M videos that --record writes: 640x480, 4:2:0, a
// header line, then frames of "FRAME\n" and the Y, Cb and Cr planes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kaze::test {

inline const std::string kY4mHeaderLine = "YUV4MPEG2 W640 H480 F50:1 Ip A1:1 C420jpeg\n";
constexpr size_t kY4mFrameBytes = 6 + 640 * 480 * 3 / 2;

// Y, Cb, Cr of the 2x2 block at (x, y) of frame `index`.
struct Yuv {
  int y, cb, cr;
};
inline Yuv Sample(const std::string& video, size_t index, size_t x, size_t y) {
  const size_t frame = kY4mHeaderLine.size() + index * kY4mFrameBytes;
  const auto at = [&](size_t offset) { return static_cast<int>(static_cast<uint8_t>(video[frame + 6 + offset])); };
  const size_t chroma = (y / 2) * 320 + x / 2;
  return {at(y * 640 + x), at(640 * 480 + chroma), at(640 * 480 * 5 / 4 + chroma)};
}

}  // namespace kaze::test
