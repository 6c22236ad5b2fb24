// The sound's way to the browser: the mixer's output goes into a ring of
// interleaved 16-bit stereo frames in the program's shared memory, and the
// page's audio worklet takes 128 frames at a time out of it. A thread of the
// host keeps the ring filled a little ahead of the worklet.
//
// Before the player's first click or key the browser holds the sound back
// and no worklet runs. The mixer then still runs on the clock, unheard, so
// that the program's sounds advance as they would on a silent sound card.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/host.h"

namespace kaze::host {

// The ring's header, read and written with Atomics by audio_worklet.js,
// which knows these fields by their order: keep the two in step.
struct AudioRingHeader {
  std::atomic<uint32_t> written{0};     // frames ever written (wrapping)
  std::atomic<uint32_t> read{0};        // frames ever taken (wrapping)
  uint32_t capacity = 0;                // frames; a power of two
  std::atomic<uint32_t> open{0};        // 1 while the program's sound is open
  std::atomic<uint32_t> started{0};     // set by the worklet when it first runs
  std::atomic<uint32_t> framesRead{0};  // counted by the worklet
  std::atomic<uint32_t> underruns{0};   // times the worklet found too few frames
  uint32_t rate = 0;                    // frames per second
};
static_assert(sizeof(AudioRingHeader) == 32, "audio_worklet.js reads the header as eight 32-bit words");

class AudioRing {
 public:
  explicit AudioRing(uint32_t capacityFrames);

  AudioRingHeader& Header() { return *header_; }
  // The frames written but not yet taken.
  uint32_t Fill() const;
  // Appends up to the free room; returns the frames appended.
  uint32_t Write(const int16_t* stereo, uint32_t frames);
  // Takes up to `frames` frames as the worklet does (for tests and tools).
  uint32_t Read(int16_t* stereo, uint32_t frames);
  // Forgets what was written and not taken.
  void Drop();

 private:
  std::vector<uint32_t> memory_;  // header, then the samples; 4-byte aligned
  AudioRingHeader* header_;
  int16_t* samples_;
};

class AudioFeeder {
 public:
  // How far ahead of the worklet the ring is kept: enough for a busy
  // machine's worker thread to be late by a tenth of a second.
  static constexpr uint32_t kAheadMs = 150;
  static constexpr uint32_t kCapacityFrames = 16384;

  AudioFeeder() : ring_(kCapacityFrames) {}
  ~AudioFeeder() { Close(); }

  // Starts mixing `source` at `rate` into the ring (replacing any source).
  // False when no thread could be started.
  bool Open(AudioSource* source, uint32_t rate);
  void Close();

  // The ring lives as long as the feeder, so that a worklet that still
  // reads after a close finds it closed, not freed.
  AudioRing& Ring() { return ring_; }

 private:
  void Run();
  void MixUnheard(std::chrono::steady_clock::time_point now);
  void FillAhead();

  AudioRing ring_;
  AudioSource* source_ = nullptr;
  uint32_t rate_ = 0;
  std::vector<int16_t> scratch_;
  std::chrono::steady_clock::time_point clockStart_{};
  uint64_t framesUnheard_ = 0;

  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kaze::host
