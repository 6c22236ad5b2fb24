// The frames a host already knows to show its current picture, by the
// platform's word for them (pixel memory and surface-write count), so that a
// flip with nothing drawn since costs neither a comparison nor a copy.
#pragma once

#include <array>
#include <cstdint>

#include "host/host.h"

namespace kaze::host {

class UnchangedFrames {
 public:
  // True when the frame's memory was presented before with the same write
  // count and was then the current picture.
  bool Knows(const Frame& frame) const {
    if (frame.writes == 0) return false;
    for (const Entry& entry : entries_)
      if (entry.pixels == frame.pixels && entry.writes == frame.writes) return true;
    return false;
  }
  // The frame shows the current picture. A flip chain has two buffers: two
  // entries cover a pause that flips between them.
  void Remember(const Frame& frame) {
    if (frame.writes == 0 || Knows(frame)) return;
    entries_[next_] = Entry{frame.pixels, frame.writes};
    next_ = (next_ + 1) % entries_.size();
  }
  // The current picture changed.
  void Forget() { entries_ = {}; }

 private:
  struct Entry {
    const uint16_t* pixels = nullptr;
    uint64_t writes = 0;
  };
  std::array<Entry, 2> entries_{};
  size_t next_ = 0;
};

}  // namespace kaze::host
