#include "host/sdl/audio_recorder.h"

#include <algorithm>

namespace kaze::host {

namespace {
// The writer empties the buffer this often; the buffer is reserved for
// four times as much, so that the audio thread does not allocate unless
// the disk stalls (it then grows rather than losing sound).
constexpr auto kWriteInterval = std::chrono::milliseconds(100);
constexpr size_t kReservedMs = 400;
}  // namespace

bool AudioRecorder::Open(const std::string& path, uint32_t rate, Clock::time_point start, std::string& error) {
  Close(Clock::duration::zero());
  if (!wav_.Open(path, rate, error)) return false;
  rate_ = rate;
  rateUsed_ = false;
  start_ = start;
  stopping_ = false;
  pending_.reserve(size_t{rate} * 2 * kReservedMs / 1000);
  writing_.reserve(pending_.capacity());
  writer_ = std::thread([this] { WriteLoop(); });
  return true;
}

void AudioRecorder::UseRate(uint32_t rate) {
  if (!IsOpen() || rateUsed_) return;
  std::lock_guard file(fileMutex_);
  rateUsed_ = true;
  rate_ = rate;
  wav_.SetRate(rate);
}

uint64_t AudioRecorder::FramesAt(Clock::duration sinceStart) const {
  if (sinceStart <= Clock::duration::zero()) return 0;
  const auto micros = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(sinceStart).count());
  return micros * rate_ / 1000000;
}

void AudioRecorder::PlaceNextPullAt(Clock::time_point now) {
  if (!IsOpen()) return;
  std::lock_guard file(fileMutex_);
  WritePending();
  const uint64_t due = FramesAt(now - start_);
  if (due > wav_.Frames()) wav_.AppendSilence(due - wav_.Frames());
}

AudioSource* AudioRecorder::Tee(AudioSource* source) {
  tee_.source = source;
  return &tee_;
}

void AudioRecorder::TeeSource::Mix(int16_t* stereo, size_t frames) {
  source->Mix(stereo, frames);
  recorder_.Pulled(stereo, frames);
}

void AudioRecorder::Pulled(const int16_t* stereo, size_t frames) {
  std::lock_guard lock(pendingMutex_);
  if (!stopping_) pending_.insert(pending_.end(), stereo, stereo + frames * 2);
}

void AudioRecorder::WritePending() {
  {
    std::lock_guard lock(pendingMutex_);
    writing_.swap(pending_);
  }
  wav_.Append(writing_.data(), writing_.size() / 2);
  writing_.clear();
}

void AudioRecorder::WriteLoop() {
  std::unique_lock lock(pendingMutex_);
  while (!stopping_) {
    wake_.wait_for(lock, kWriteInterval, [this] { return stopping_; });
    lock.unlock();
    {
      std::lock_guard file(fileMutex_);
      WritePending();
    }
    lock.lock();
  }
}

void AudioRecorder::StopWriter() {
  {
    std::lock_guard lock(pendingMutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  writer_.join();
}

void AudioRecorder::Close(Clock::duration end) {
  if (!IsOpen()) return;
  StopWriter();
  std::lock_guard file(fileMutex_);
  WritePending();
  // What the device was given but had not played yet is dropped.
  const uint64_t due = FramesAt(end);
  if (due > wav_.Frames())
    wav_.AppendSilence(due - wav_.Frames());
  else
    wav_.KeepFirst(due);
  wav_.Close();
}

void AudioRecorder::Discard() {
  if (!IsOpen()) return;
  StopWriter();
  std::lock_guard file(fileMutex_);
  wav_.Discard();
}

}  // namespace kaze::host
