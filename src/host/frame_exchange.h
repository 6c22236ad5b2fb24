// Hands finished frames from the game thread to the main thread without a
// lock and without tearing: three buffers, one being written, one being shown
// and one in the middle that the two sides swap with atomically.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "host/host.h"
#include "host/unchanged_frames.h"

namespace kaze::host {

struct StoredFrame {
  std::vector<uint16_t> pixels;  // 640x480, rows packed
  PixelLayout layout = PixelLayout::Rgb565;
};

class FrameExchange {
 public:
  FrameExchange();

  // Writer side (one thread at a time): copies the frame and makes it the
  // newest published one. A frame equal to the last one published is not
  // published again (a still picture costs no presenting); returns whether
  // it was published.
  bool Publish(const Frame& frame);

  // Reader side (one thread): the newest published frame if it arrived since
  // the last call, else null. The frame stays valid until the next call.
  const StoredFrame* TakeNewest();

  // Any thread: whether a frame was published that TakeNewest has not
  // taken yet.
  bool HasNew() const { return (middle_.load(std::memory_order_acquire) & kFresh) != 0; }

  // Reader side: the frame taken last (null before the first one), for
  // drawing it again after the window changed.
  const StoredFrame* Current() const;

 private:
  static constexpr uint32_t kFresh = 4;  // flag beside the middle buffer's index

  bool SameAsLast(const Frame& frame) const;

  std::array<StoredFrame, 3> buffers_;
  UnchangedFrames unchanged_;  // writer side: frames known to equal the last published
  bool publishedAny_ = false;
  // Writer side: the buffer published last. It stays as it is until the
  // writer publishes again (it is in the middle or being shown, and the
  // writer gets it back only by a later exchange), so the writer compares
  // with it in place: no copy of its own.
  uint32_t published_ = 0;
  uint32_t writing_ = 0;
  std::atomic<uint32_t> middle_{1};
  uint32_t showing_ = 2;
  bool shownAny_ = false;
};

}  // namespace kaze::host
