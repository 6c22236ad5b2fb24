#include "host/headless/shown_picture.h"

#include <algorithm>
#include <bit>

#include "host/headless/frame_files.h"
#include "host/sanitizer_build.h"

namespace kaze::host {

namespace {

constexpr size_t kScreenPixels = static_cast<size_t>(kScreenWidth) * kScreenHeight;

const uint16_t* Row(const Frame& frame, int32_t y) {
  return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(frame.pixels) +
                                           static_cast<intptr_t>(y) * frame.pitch);
}

// Rows packed one after the other, as the stand-in's surfaces are: the
// frame is one block, compared and copied in one call each.
bool Packed(const Frame& frame) { return frame.pitch == kScreenWidth * static_cast<int32_t>(sizeof(uint16_t)); }

#if defined(KAZE_THREAD_SANITIZER)
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
#endif

// Comparing a presented frame with the picture shown reads 1.2 MB on
// nearly every flip: the presenting thread reading the frame it has just
// drawn, and the copy only it writes. Under ThreadSanitizer checking those
// reads was half of a run's time, so it skips them there. Every write to a
// frame or to the copy is still checked, and so is the copying of a frame
// that changed.
class UncheckedReads {
 public:
#if defined(KAZE_THREAD_SANITIZER)
  UncheckedReads() { AnnotateIgnoreReadsBegin(__FILE__, __LINE__); }
  ~UncheckedReads() { AnnotateIgnoreReadsEnd(__FILE__, __LINE__); }
#else
  UncheckedReads() = default;
#endif
  UncheckedReads(const UncheckedReads&) = delete;
  UncheckedReads& operator=(const UncheckedReads&) = delete;
};

}  // namespace

ShownPicture::ShownPicture() : pixels_(kScreenPixels, 0) {}

bool ShownPicture::Present(const Frame& frame, uint32_t& crc) {
  // A pause flips about once a millisecond with nothing drawn: a frame the
  // platform vouches for as unchanged is not even compared.
  if (any_ && unchanged_.Knows(frame)) return false;
  // Most frames repeat the one before (a still picture): compare first, and
  // copy and checksum only a changed picture.
  if (any_ && frame.layout == layout_ && Same(frame)) {
    unchanged_.Remember(frame);
    return false;
  }
  unchanged_.Forget();
  unchanged_.Remember(frame);
  crc = Take(frame);
  if (any_ && crc == crc_) return false;
  any_ = true;
  crc_ = crc;
  return true;
}

bool ShownPicture::Same(const Frame& frame) const {
  [[maybe_unused]] const UncheckedReads unchecked;
  if (Packed(frame)) return std::equal(frame.pixels, frame.pixels + kScreenPixels, pixels_.begin());
  for (int32_t y = 0; y < kScreenHeight; ++y)
    if (!SameRow(frame, y)) return false;
  return true;
}

bool ShownPicture::SameRow(const Frame& frame, int32_t y) const {
  return std::equal(Row(frame, y), Row(frame, y) + kScreenWidth,
                    pixels_.begin() + static_cast<ptrdiff_t>(y) * kScreenWidth);
}

// The first and the last row that differ from pixels_, of a frame that
// differs.
std::pair<int32_t, int32_t> ShownPicture::ChangedRows(const Frame& frame) const {
  int32_t first = 0, last = kScreenHeight - 1;
  while (first < last && SameRow(frame, first)) ++first;
  while (last > first && SameRow(frame, last)) --last;
  return {first, last};
}

// Copies the new picture into pixels_ and gives its CRC: from the rows that
// changed when they are fewer than half (text growing, a blink), else
// summed over the whole frame.
uint32_t ShownPicture::Take(const Frame& frame) {
  if (std::endian::native == std::endian::little && any_ && frame.layout == layout_) {
    const auto [first, last] = ChangedRows(frame);
    if (2 * (last - first + 1) < kScreenHeight) {
      const size_t at = static_cast<size_t>(first) * kScreenWidth;
      const size_t bytes = static_cast<size_t>(last - first + 1) * kScreenWidth * sizeof(uint16_t);
      constexpr size_t kFrameBytes = kScreenPixels * sizeof(uint16_t);
      uint32_t crc = crc_ ^ FrameCrcTerm(kFrameBytes, at * sizeof(uint16_t), pixels_.data() + at, bytes);
      for (int32_t y = first; y <= last; ++y)
        std::copy_n(Row(frame, y), kScreenWidth, pixels_.begin() + static_cast<ptrdiff_t>(y) * kScreenWidth);
      ++version_;
      return crc ^ FrameCrcTerm(kFrameBytes, at * sizeof(uint16_t), pixels_.data() + at, bytes);
    }
  }
  CopyAll(frame);
  layout_ = frame.layout;
  ++version_;
  return FrameCrc(pixels_);
}

void ShownPicture::CopyAll(const Frame& frame) {
  if (Packed(frame)) {
    std::copy_n(frame.pixels, kScreenPixels, pixels_.begin());
    return;
  }
  for (int32_t y = 0; y < kScreenHeight; ++y)
    std::copy_n(Row(frame, y), kScreenWidth, pixels_.begin() + static_cast<ptrdiff_t>(y) * kScreenWidth);
}

}  // namespace kaze::host
