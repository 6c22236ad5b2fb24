// The picture the headless host shows: the last frame presented whose
// pixels changed, kept as a copy (for snapshots, the video and tests) with
// its CRC-32 for the trace. Deciding whether a presented frame is new is
// the host's commonest work: most flips repeat the picture.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/unchanged_frames.h"

namespace kaze::host {

class ShownPicture {
 public:
  ShownPicture();

  // The frame presented: true, with the new picture's CRC, when it shows a
  // picture whose CRC differs from the one shown before (the trace's frame
  // line); false when it shows the same.
  bool Present(const Frame& frame, uint32_t& crc);

  const std::vector<uint16_t>& Pixels() const { return pixels_; }  // 640x480, rows packed
  PixelLayout Layout() const { return layout_; }
  uint64_t Version() const { return version_; }  // counts the changes of Pixels()

 private:
  bool Same(const Frame& frame) const;
  bool SameRow(const Frame& frame, int32_t y) const;
  std::pair<int32_t, int32_t> ChangedRows(const Frame& frame) const;
  uint32_t Take(const Frame& frame);
  void CopyAll(const Frame& frame);

  std::vector<uint16_t> pixels_;
  PixelLayout layout_ = PixelLayout::Rgb565;
  bool any_ = false;           // a frame was presented
  UnchangedFrames unchanged_;  // frames known to show what pixels_ holds
  uint32_t crc_ = 0;
  uint64_t version_ = 0;
};

}  // namespace kaze::host
