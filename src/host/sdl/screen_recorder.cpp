#include "host/sdl/screen_recorder.h"

namespace kaze::host {

bool ScreenRecorder::Open(const std::string& path, Clock::time_point start, std::string& error) {
  if (!video_.Open(path, error)) return false;
  start_ = start;
  pending_ = nullptr;
  return true;
}

void ScreenRecorder::CatchUp(Clock::time_point now) {
  if (!video_.IsOpen() || now <= start_) return;
  const auto elapsed =
      static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count());
  // Moments 0, 20, 40, ... ms before `now`.
  constexpr uint64_t kFrameMicros = kRecordFrameMs * 1000;
  const uint64_t due = (elapsed + kFrameMicros - 1) / kFrameMicros;
  if (due <= video_.FramesWritten()) return;
  // A frame replaced before any moment passed is never converted.
  if (pending_ != nullptr) {
    video_.SetPicture(pending_->pixels.data(), kScreenWidth * 2, pending_->layout);
    pending_ = nullptr;
  }
  video_.WriteFrames(due - video_.FramesWritten());
}

void ScreenRecorder::Close(Clock::time_point now) {
  CatchUp(now);
  video_.Close();
}

}  // namespace kaze::host
