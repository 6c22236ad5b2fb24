#include "host/sdl/screen_recorder.h"

namespace kaze::host {

bool ScreenRecorder::Open(const std::string& path, std::string& error) {
  if (!video_.Open(path, error)) return false;
  start_ = Clock::now();
  pending_ = nullptr;
  return true;
}

void ScreenRecorder::CatchUp(Clock::time_point now) {
  if (!video_.IsOpen() || now <= start_) return;
  const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
  // Moments 0, 20, 40, ... ms before `now`.
  const uint64_t due = (static_cast<uint64_t>(elapsedMs) + kRecordFrameMs - 1) / kRecordFrameMs;
  if (due <= video_.FramesWritten()) return;
  // A frame replaced before any moment passed is never converted.
  if (pending_ != nullptr) {
    video_.SetPicture(pending_->pixels.data(), kScreenWidth * 2, pending_->layout);
    pending_ = nullptr;
  }
  video_.WriteFrames(due - video_.FramesWritten());
}

void ScreenRecorder::Close() {
  CatchUp(Clock::now());
  video_.Close();
}

}  // namespace kaze::host
