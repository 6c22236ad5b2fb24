// A run's pictures as a YUV4MPEG2 video: 640x480, 50 frames a second, 4:2:0
// with JPEG (centred) chroma siting, BT.601 full range ("C420jpeg", which
// ffmpeg reads as yuvj420p). Each frame is the picture on screen at its
// moment; a frame that repeats the one before is written again from the
// converted copy without converting anew.
//
// The writing (23 MB a second, nearly all of it the kernel's copying into
// the page cache) is done by a thread of the writer's own, so that the run
// (or the sdl host's main thread) only converts new pictures and never
// waits for the disk: frames are queued as references to one of three
// converted pictures, and a picture is converted into one that no queued
// frame refers to (waiting only when the disk is two pictures behind).
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/checked_file.h"
#include "host/pixel_layout.h"

namespace kaze::host {

constexpr uint32_t kRecordFrameMs = 20;  // 50 frames a second

class Y4mWriter {
 public:
  ~Y4mWriter();
  // Creates the file and writes the stream header; false with a reason.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return writer_.joinable(); }
  // Converts a 640x480 picture (pitch in bytes) to be the frame written next.
  void SetPicture(const uint16_t* pixels, int32_t pitch, PixelLayout layout);
  // Writes the current picture `count` times (black before any picture).
  void WriteFrames(uint64_t count);
  // The frames given to WriteFrames, written or not.
  uint64_t FramesWritten() const { return frames_; }
  // Returns once every frame is in the file.
  void Close();
  // Closes and removes the file (a run that did not start).
  void Discard();

 private:
  static constexpr size_t kPictures = 3;
  struct Queued {
    size_t picture;
    uint64_t count;
  };
  void WriteLoop();
  void Fail();
  void StopWriting();

  CheckedFile file_;
  std::atomic<bool> failed_{false};
  uint64_t frames_ = 0;
  // Each "FRAME\n", then Y, Cb, Cr.
  std::array<std::vector<uint8_t>, kPictures> pictures_;
  size_t current_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Queued> queue_;
  std::array<uint64_t, kPictures> unwritten_{};  // frames of each picture not yet in the file
  bool closing_ = false;
  std::thread writer_;
};

// The converter alone, for tests and the benchmark: 640x480 16-bit pixels
// to the Y plane (640x480) and the Cb and Cr planes (320x240 each).
void ConvertToYuv420(const uint16_t* pixels, int32_t pitch, PixelLayout layout, uint8_t* y, uint8_t* cb, uint8_t* cr);
// The same, one pixel at a time as the formulas say: what the fast one
// must equal byte for byte.
void ConvertToYuv420Plain(const uint16_t* pixels, int32_t pitch, PixelLayout layout, uint8_t* y, uint8_t* cb,
                          uint8_t* cr);

}  // namespace kaze::host
