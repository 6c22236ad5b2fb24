#include "host/frame_exchange.h"

#include <cstring>

namespace kaze::host {

FrameExchange::FrameExchange() {
  for (auto& buffer : buffers_) buffer.pixels.assign(size_t{kScreenWidth} * kScreenHeight, 0);
}

namespace {
constexpr size_t kRowBytes = kScreenWidth * sizeof(uint16_t);

const uint16_t* SourceRow(const Frame& frame, int32_t y) {
  return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(frame.pixels) + ptrdiff_t(y) * frame.pitch);
}

void CopyFrame(const Frame& frame, StoredFrame& target) {
  for (int32_t y = 0; y < kScreenHeight; ++y) {
    std::memcpy(&target.pixels[size_t(y) * kScreenWidth], SourceRow(frame, y), kRowBytes);
  }
  target.layout = frame.layout;
}
}  // namespace

bool FrameExchange::SameAsLast(const Frame& frame) const {
  if (!publishedAny_) return false;
  const StoredFrame& last = buffers_[published_];  // read by the reader too, written by no one
  if (frame.layout != last.layout) return false;
  for (int32_t y = 0; y < kScreenHeight; ++y) {
    if (std::memcmp(&last.pixels[size_t(y) * kScreenWidth], SourceRow(frame, y), kRowBytes) != 0) return false;
  }
  return true;
}

bool FrameExchange::Publish(const Frame& frame) {
  // A pause flips about once a millisecond with nothing drawn: a frame the
  // platform vouches for as unchanged is not even compared.
  if (publishedAny_ && unchanged_.Knows(frame)) return false;
  if (SameAsLast(frame)) {
    unchanged_.Remember(frame);
    return false;
  }
  unchanged_.Forget();
  unchanged_.Remember(frame);
  CopyFrame(frame, buffers_[writing_]);
  publishedAny_ = true;
  published_ = writing_;
  // acq_rel: the copy above is visible to whoever takes this buffer, and the
  // buffer we get back is no longer being read.
  writing_ = middle_.exchange(writing_ | kFresh, std::memory_order_acq_rel) & ~kFresh;
  return true;
}

const StoredFrame* FrameExchange::TakeNewest() {
  if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) return nullptr;
  showing_ = middle_.exchange(showing_, std::memory_order_acq_rel) & ~kFresh;
  shownAny_ = true;
  return &buffers_[showing_];
}

const StoredFrame* FrameExchange::Current() const { return shownAny_ ? &buffers_[showing_] : nullptr; }

}  // namespace kaze::host
