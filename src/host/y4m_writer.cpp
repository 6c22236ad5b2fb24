#include "host/y4m_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kaze::host {

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr size_t kLumaBytes = static_cast<size_t>(kWidth) * kHeight;
constexpr size_t kChromaBytes = kLumaBytes / 4;
constexpr char kFrameTag[] = "FRAME\n";
constexpr size_t kTagBytes = sizeof kFrameTag - 1;

// 8-bit components the way the snapshots widen them: the top bits repeated
// into the low ones, so that white stays 255.
struct Rgb {
  int32_t r, g, b;
};

template <platform::PixelLayout Layout>
inline Rgb Widen(uint32_t pixel) {
  uint32_t r = 0, g = 0, b = pixel & 31;
  if constexpr (Layout == platform::PixelLayout::Rgb555) {
    r = (pixel >> 10) & 31;
    g = (pixel >> 5) & 31;
    g = g << 3 | g >> 2;
  } else {
    r = pixel >> 11;
    g = (pixel >> 5) & 63;
    g = g << 2 | g >> 4;
  }
  return {static_cast<int32_t>(r << 3 | r >> 2), static_cast<int32_t>(g), static_cast<int32_t>(b << 3 | b >> 2)};
}

// BT.601 full range in 16-bit fixed point (JFIF's weights).
inline uint8_t Luma(Rgb c) { return static_cast<uint8_t>((19595 * c.r + 38470 * c.g + 7471 * c.b + 32768) >> 16); }

// Chroma of a 2x2 block from the sums of its four components: the mean is
// folded into the shift (/4 = 2 more bits).
inline uint8_t Chroma(int32_t weighted) {
  return static_cast<uint8_t>(std::min((weighted + (128 << 18) + (1 << 17)) >> 18, 255));
}

// Per 16-bit value, its luma and its widened components packed 10 bits
// apart, so that the components of a 2x2 block add up in one sum.
struct Tables {
  uint8_t luma[65536];
  uint32_t packed[65536];
};

template <platform::PixelLayout Layout>
const Tables& TablesFor() {
  static const Tables* const tables = [] {
    auto* made = new Tables;
    for (uint32_t pixel = 0; pixel < 65536; ++pixel) {
      const Rgb c = Widen<Layout>(pixel);
      made->luma[pixel] = Luma(c);
      made->packed[pixel] = static_cast<uint32_t>(c.r) << 20 | static_cast<uint32_t>(c.g) << 10 | static_cast<uint32_t>(c.b);
    }
    return made;
  }();
  return *tables;
}

// Two rows at a time: each pair of rows gives one row of Cb and Cr.
template <platform::PixelLayout Layout>
void Convert(const uint16_t* pixels, int32_t pitch, uint8_t* y, uint8_t* cb, uint8_t* cr) {
  const Tables& t = TablesFor<Layout>();
  for (int32_t row = 0; row < kHeight; row += 2) {
    const auto* top = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<intptr_t>(row) * pitch);
    const auto* bottom = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(top) + pitch);
    uint8_t* yTop = y + static_cast<size_t>(row) * kWidth;
    uint8_t* yBottom = yTop + kWidth;
    uint8_t* cbRow = cb + static_cast<size_t>(row / 2) * (kWidth / 2);
    uint8_t* crRow = cr + static_cast<size_t>(row / 2) * (kWidth / 2);
    for (int32_t x = 0; x < kWidth; ++x) {
      yTop[x] = t.luma[top[x]];
      yBottom[x] = t.luma[bottom[x]];
    }
    for (int32_t x = 0; x < kWidth; x += 2) {
      const uint32_t sum = t.packed[top[x]] + t.packed[top[x + 1]] + t.packed[bottom[x]] + t.packed[bottom[x + 1]];
      const int32_t r = static_cast<int32_t>(sum >> 20), g = static_cast<int32_t>(sum >> 10 & 1023),
                    bl = static_cast<int32_t>(sum & 1023);
      cbRow[x / 2] = Chroma(-11059 * r - 21709 * g + 32768 * bl);
      crRow[x / 2] = Chroma(32768 * r - 27439 * g - 5329 * bl);
    }
  }
}

}  // namespace

void ConvertToYuv420(const uint16_t* pixels, int32_t pitch, platform::PixelLayout layout, uint8_t* y, uint8_t* cb,
                     uint8_t* cr) {
  if (layout == platform::PixelLayout::Rgb555) Convert<platform::PixelLayout::Rgb555>(pixels, pitch, y, cb, cr);
  else Convert<platform::PixelLayout::Rgb565>(pixels, pitch, y, cb, cr);
}

Y4mWriter::~Y4mWriter() { Close(); }

bool Y4mWriter::Open(const std::string& path, std::string& error) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error = "cannot write the recording " + path + ": " + std::strerror(errno);
    return false;
  }
  static constexpr char kHeader[] = "YUV4MPEG2 W640 H480 F50:1 Ip A1:1 C420jpeg\n";
  std::fwrite(kHeader, 1, sizeof kHeader - 1, file_);
  // Black until the first picture: Y 0, chroma at its middle.
  planes_.assign(kTagBytes + kLumaBytes + 2 * kChromaBytes, 128);
  std::memcpy(planes_.data(), kFrameTag, kTagBytes);
  std::fill_n(planes_.begin() + kTagBytes, kLumaBytes, uint8_t{0});
  frames_ = 0;
  return true;
}

void Y4mWriter::SetPicture(const uint16_t* pixels, int32_t pitch, platform::PixelLayout layout) {
  if (file_ == nullptr) return;
  uint8_t* y = planes_.data() + kTagBytes;
  ConvertToYuv420(pixels, pitch, layout, y, y + kLumaBytes, y + kLumaBytes + kChromaBytes);
}

void Y4mWriter::WriteFrames(uint64_t count) {
  if (file_ == nullptr) return;
  for (uint64_t i = 0; i < count; ++i) std::fwrite(planes_.data(), 1, planes_.size(), file_);
  frames_ += count;
}

void Y4mWriter::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace kaze::host
