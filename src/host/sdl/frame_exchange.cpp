#include "host/sdl/frame_exchange.h"

#include <cstring>

namespace kaze::host {

FrameExchange::FrameExchange() {
  for (auto& buffer : buffers_) buffer.pixels.assign(size_t{kScreenWidth} * kScreenHeight, 0);
}

void FrameExchange::Publish(const Frame& frame) {
  StoredFrame& target = buffers_[writing_];
  const auto* source = reinterpret_cast<const uint8_t*>(frame.pixels);
  for (int32_t y = 0; y < kScreenHeight; ++y) {
    std::memcpy(&target.pixels[size_t(y) * kScreenWidth], source + ptrdiff_t(y) * frame.pitch,
                kScreenWidth * sizeof(uint16_t));
  }
  target.layout = frame.layout;
  // acq_rel: the copy above is visible to whoever takes this buffer, and the
  // buffer we get back is no longer being read.
  writing_ = middle_.exchange(writing_ | kFresh, std::memory_order_acq_rel) & ~kFresh;
}

const StoredFrame* FrameExchange::TakeNewest() {
  if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) return nullptr;
  showing_ = middle_.exchange(showing_, std::memory_order_acq_rel) & ~kFresh;
  shownAny_ = true;
  return &buffers_[showing_];
}

const StoredFrame* FrameExchange::Current() const { return shownAny_ ? &buffers_[showing_] : nullptr; }

}  // namespace kaze::host
