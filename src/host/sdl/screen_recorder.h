// --record in the player's host: the main thread records the frames it
// shows, one video frame for each 20 ms of real time since the start. A
// stretch in which the main thread was busy elsewhere is filled with the
// picture that was on screen, so the video keeps the real clock.
#pragma once

#include <chrono>
#include <string>

#include "host/frame_exchange.h"
#include "host/y4m_writer.h"

namespace kaze::host {

class ScreenRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  // Creates the file; `start` is the recording's time 0.
  bool Open(const std::string& path, Clock::time_point start, std::string& error);
  bool IsOpen() const { return video_.IsOpen(); }
  // Writes the frames of the moments before `now` with the picture shown
  // until now. Call before a newer frame is taken.
  void CatchUp(Clock::time_point now);
  // The frame now on screen; it must stay valid until the next CatchUp.
  void Shown(const StoredFrame* frame) { pending_ = frame; }
  // Writes the frames due before `now`; the video then lasts Length().
  void Close(Clock::time_point now);
  // Closes and removes the file (a run that did not start).
  void Discard() { video_.Discard(); }
  Clock::duration Length() const { return std::chrono::milliseconds(video_.FramesWritten() * kRecordFrameMs); }

 private:
  Y4mWriter video_;
  Clock::time_point start_{};
  const StoredFrame* pending_ = nullptr;  // shown but not converted yet
};

}  // namespace kaze::host
