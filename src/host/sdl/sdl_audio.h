// The default audio device through SDL: signed 16-bit stereo at the
// device's own rate, pulled from the platform's mixer on SDL's audio thread.
// The platform converts every sound to that rate once, when it is loaded,
// so nothing resamples the mix a second time.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "host/host.h"

namespace kaze::host {

constexpr uint32_t kSdlAudioRate = 44100;  // asked for when the device names no rate of its own

class SdlAudioOutput {
 public:
  ~SdlAudioOutput() { Close(); }

  // The sample rate, or 0 when no device could be opened (the program then
  // runs silently). Paused until Resume.
  uint32_t OpenPaused(AudioSource* source);
  void Resume();
  uint32_t Open(AudioSource* source) {
    uint32_t rate = OpenPaused(source);
    Resume();
    return rate;
  }
  // Waits until the device no longer calls the source.
  void Close();

 private:
  static void Pull(void* self, Uint8* stream, int bytes);

  AudioSource* source_ = nullptr;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace kaze::host
