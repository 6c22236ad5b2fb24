// --audio-out in the player's host: the mixer's output, as the audio device
// pulls it, written to a WAV file on the recording's clock (the same time 0
// as --record's video).
//
// The audio thread only appends its samples to a buffer under a short lock;
// a writer thread of the recorder's own swaps the buffer out and puts it on
// disk, so a slow disk never holds the sound up.
//
// Placement: while a device is open its pulls follow each other in the file
// without a gap (the device's pace is the sound's clock). Each time a device
// is opened, the file is first filled with silence up to that moment of the
// real clock. At the end the file is cut or filled with silence to the end
// given to Close (the video's length), so that both last as long. The
// mixer's samples are placed at the moment they are mixed: the player hears
// them one or two pulls later (1024 frames each, 23 ms), the device's own
// latency.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/host.h"
#include "host/wav_writer.h"

namespace kaze::host {

class AudioRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  ~AudioRecorder() { Close(Clock::duration::zero()); }

  // Creates the file (16-bit stereo at `rate`, until UseRate); `start` is
  // its time 0.
  bool Open(const std::string& path, uint32_t rate, Clock::time_point start, std::string& error);
  bool IsOpen() const { return writer_.joinable(); }
  Clock::time_point Start() const { return start_; }
  // The rate of the device that pulls, given before its first pull. The
  // file has one rate: the first device's, or the one given at Open when no
  // device opens; a later device at another rate is recorded at that one.
  void UseRate(uint32_t rate);
  // No device pulls now and the next one to open starts at `now`: silence
  // fills the file up to there.
  void PlaceNextPullAt(Clock::time_point now);
  // A source that mixes with `source` and records what it mixed. The same
  // object each time; valid while the recorder lives.
  AudioSource* Tee(AudioSource* source);
  // Everything pulled is written, cut or filled with silence to `end` after
  // the start, and the sizes go into the header. No device may pull any more.
  void Close(Clock::duration end);
  // Closes and removes the file (a run that did not start).
  void Discard();

 private:
  class TeeSource final : public AudioSource {
   public:
    explicit TeeSource(AudioRecorder& recorder) : recorder_(recorder) {}
    void Mix(int16_t* stereo, size_t frames) override;
    AudioSource* source = nullptr;

   private:
    AudioRecorder& recorder_;
  };

  void Pulled(const int16_t* stereo, size_t frames);  // the audio thread
  void WriteLoop();
  void StopWriter();
  void WritePending();  // with fileMutex_ held
  uint64_t FramesAt(Clock::duration sinceStart) const;

  std::mutex fileMutex_;  // the file; never taken by the audio thread
  WavWriter wav_;
  uint32_t rate_ = 0;
  bool rateUsed_ = false;  // a device has given the rate
  Clock::time_point start_{};

  std::mutex pendingMutex_;  // the audio thread holds it for a copy only
  std::condition_variable wake_;
  std::vector<int16_t> pending_, writing_;
  bool stopping_ = false;
  std::thread writer_;
  TeeSource tee_{*this};
};

}  // namespace kaze::host
