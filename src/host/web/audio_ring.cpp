#include "host/web/audio_ring.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

namespace kaze::host {

namespace {

constexpr uint32_t kMixChunkFrames = 1024;
constexpr auto kRound = std::chrono::milliseconds(5);

}  // namespace

AudioRing::AudioRing(uint32_t capacityFrames)
    : memory_(sizeof(AudioRingHeader) / 4 + capacityFrames, 0),  // a stereo frame is one word
      header_(new (memory_.data()) AudioRingHeader),
      samples_(reinterpret_cast<int16_t*>(memory_.data() + sizeof(AudioRingHeader) / 4)) {
  header_->capacity = capacityFrames;
}

uint32_t AudioRing::Fill() const {
  const uint32_t fill =
      header_->written.load(std::memory_order_acquire) - header_->read.load(std::memory_order_acquire);
  // Taken past what was written (a worklet that read on across a drop):
  // nothing to take; the worklet puts its position right.
  return fill <= header_->capacity ? fill : 0;
}

uint32_t AudioRing::Write(const int16_t* stereo, uint32_t frames) {
  const uint32_t capacity = header_->capacity;
  frames = std::min(frames, capacity - Fill());
  const uint32_t written = header_->written.load(std::memory_order_relaxed);
  const uint32_t at = written & (capacity - 1);
  const uint32_t first = std::min(frames, capacity - at);
  std::memcpy(samples_ + size_t(at) * 2, stereo, size_t(first) * 4);
  std::memcpy(samples_, stereo + size_t(first) * 2, size_t(frames - first) * 4);
  header_->written.store(written + frames, std::memory_order_release);
  return frames;
}

uint32_t AudioRing::Read(int16_t* stereo, uint32_t frames) {
  const uint32_t capacity = header_->capacity;
  frames = std::min(frames, Fill());
  const uint32_t read = header_->read.load(std::memory_order_relaxed);
  for (uint32_t i = 0; i < frames; ++i) {
    const uint32_t at = (read + i) & (capacity - 1);
    stereo[2 * i] = samples_[2 * at];
    stereo[2 * i + 1] = samples_[2 * at + 1];
  }
  header_->read.store(read + frames, std::memory_order_release);
  return frames;
}

void AudioRing::Drop() {
  header_->written.store(header_->read.load(std::memory_order_acquire), std::memory_order_release);
}

bool AudioFeeder::Open(AudioSource* source, uint32_t rate) {
  Close();
  source_ = source;
  rate_ = rate;
  scratch_.assign(size_t(kMixChunkFrames) * 2, 0);
  clockStart_ = std::chrono::steady_clock::now();
  framesUnheard_ = 0;
  ring_.Drop();
  ring_.Header().rate = rate;
  ring_.Header().open.store(1, std::memory_order_release);
  stopping_ = false;
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    ring_.Header().open.store(0, std::memory_order_release);
    return false;
  }
  return true;
}

void AudioFeeder::Close() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_all();
  if (thread_.joinable()) thread_.join();
  ring_.Header().open.store(0, std::memory_order_release);
  source_ = nullptr;
}

void AudioFeeder::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    lock.unlock();
    if (ring_.Header().started.load(std::memory_order_acquire) != 0) {
      FillAhead();
    } else {
      MixUnheard(std::chrono::steady_clock::now());
    }
    lock.lock();
    stop_.wait_for(lock, kRound, [this] { return stopping_; });
  }
}

// No worklet yet: the mixer's output is due at the clock's pace and goes
// nowhere.
void AudioFeeder::MixUnheard(std::chrono::steady_clock::time_point now) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - clockStart_).count();
  const uint64_t due = uint64_t(elapsed) * rate_ / 1000000u;
  while (framesUnheard_ < due) {
    const uint32_t frames = uint32_t(std::min<uint64_t>(due - framesUnheard_, kMixChunkFrames));
    source_->Mix(scratch_.data(), frames);
    framesUnheard_ += frames;
  }
}

void AudioFeeder::FillAhead() {
  const uint32_t ahead = std::min(rate_ * kAheadMs / 1000u, kCapacityFrames);
  const uint32_t fill = ring_.Fill();
  for (uint32_t missing = fill < ahead ? ahead - fill : 0; missing > 0;) {
    const uint32_t frames = std::min(missing, kMixChunkFrames);
    source_->Mix(scratch_.data(), frames);
    ring_.Write(scratch_.data(), frames);
    missing -= frames;
  }
}

}  // namespace kaze::host
