// The software mixer behind DirectSound: it sums the playing buffers, each
// already converted to the output format, into the host's audio output.
// A voice that follows the focus is summed only while the program is the
// active one; otherwise it plays on unheard, its position moving as if heard.
// Game-thread calls and the host's pulls (Mix, from the host's audio thread
// or its virtual clock) meet under one lock; nothing here calls the host
// while holding it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "host/host.h"

namespace kaze::platform {

// Linear gain of a DirectSound volume in hundredths of a decibel.
float GainOfVolume(int32_t volume);

class AudioMixer final : public host::AudioSource {
 public:
  // Asks the host for an output; its rate, or 0 when there is none.
  uint32_t Open();
  void Close();
  uint32_t OutputRate() const { return outputRate_; }

  // A new silent, stopped voice; its id is the lowest one not in use.
  int AddVoice(bool followsFocus = false);
  void RemoveVoice(int id);

  // The voice's sound, and the frames that replace its last ones when it
  // plays once rather than loops (how it ends into silence).
  void SetFrames(int id, std::vector<int16_t> stereoFrames, std::vector<int16_t> onceEnding = {});
  // The voice's sound is `frames` frames of silence, held as a length only
  // (a new buffer's sound, until it is filled).
  void SetSilence(int id, size_t frames);
  void SetPosition(int id, size_t frame);
  void Play(int id, bool loop);
  void Stop(int id);
  void SetGain(int id, float gain);
  bool IsPlaying(int id);
  size_t Position(int id);

  // Whether the program is the active one (it starts so); true when that
  // changed.
  bool SetProgramActive(bool active);

  // Sums the playing voices into `frames` stereo frames.
  void Mix(int16_t* stereo, size_t frames) override;

 private:
  struct Voice {
    std::vector<int16_t> frames;      // interleaved stereo at the output rate
    std::vector<int16_t> onceEnding;  // the end of `frames` when not looping
    size_t silentFrames = 0;          // the length of a silent voice, whose `frames` are empty
    size_t position = 0;              // next frame to play
    bool playing = false;
    bool looping = false;
    float gain = 1.0f;
    bool followsFocus = false;  // heard only while the program is active
  };

  static size_t Length(const Voice& voice);
  void MixVoice(Voice& voice, float* sum, size_t frames);
  Voice* Find(int id);

  std::mutex mutex_;
  std::vector<std::optional<Voice>> voices_;
  uint32_t outputRate_ = 0;
  bool open_ = false;
  bool programActive_ = true;
};

AudioMixer& TheAudioMixer();

}  // namespace kaze::platform
