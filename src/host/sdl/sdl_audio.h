// The default audio device through SDL: signed 16-bit stereo, pulled from
// the platform's mixer on SDL's audio thread. SDL converts to whatever the
// device wants, so the mixer always sees the same format and rate.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "host/host.h"

namespace kaze::host {

constexpr uint32_t kSdlAudioRate = 44100;  // what the mixer is asked for, whatever the device

class SdlAudioOutput {
 public:
  ~SdlAudioOutput() { Close(); }

  // The sample rate, or 0 when no device could be opened (the program then
  // runs silently).
  uint32_t Open(AudioSource* source);
  // Waits until the device no longer calls the source.
  void Close();

 private:
  static void Pull(void* self, Uint8* stream, int bytes);

  AudioSource* source_ = nullptr;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace kaze::host
