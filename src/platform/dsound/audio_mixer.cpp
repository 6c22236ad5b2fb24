#include "platform/dsound/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace kaze::platform {

float GainOfVolume(int32_t volume) {
  if (volume <= -10000) return 0.0f;
  return std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
}

uint32_t AudioMixer::Open() {
  if (open_) return outputRate_;
  uint32_t rate = host::TheHost().OpenAudio(this);
  open_ = rate != 0;
  outputRate_ = rate;
  return rate;
}

void AudioMixer::Close() {
  if (!open_) return;
  host::TheHost().CloseAudio();
  open_ = false;
}

int AudioMixer::AddVoice(bool followsFocus) {
  std::lock_guard lock(mutex_);
  auto free = std::find_if(voices_.begin(), voices_.end(), [](const auto& v) { return !v.has_value(); });
  if (free == voices_.end()) free = voices_.insert(voices_.end(), std::nullopt);
  free->emplace().followsFocus = followsFocus;
  return static_cast<int>(free - voices_.begin());
}

void AudioMixer::RemoveVoice(int id) {
  std::vector<int16_t> dropped, droppedEnding;  // freed after the lock is let go
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    dropped.swap(voice->frames);
    droppedEnding.swap(voice->onceEnding);
    voices_[static_cast<size_t>(id)].reset();
  }
}

void AudioMixer::SetFrames(int id, std::vector<int16_t> stereoFrames, std::vector<int16_t> onceEnding) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    voice->frames.swap(stereoFrames);
    voice->onceEnding.swap(onceEnding);
    voice->silentFrames = 0;
    if (voice->onceEnding.size() > voice->frames.size()) voice->onceEnding.clear();
    voice->position = std::min(voice->position, Length(*voice));
  }
}

void AudioMixer::SetSilence(int id, size_t frames) {
  std::vector<int16_t> dropped, droppedEnding;  // freed after the lock is let go
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    dropped.swap(voice->frames);
    droppedEnding.swap(voice->onceEnding);
    voice->silentFrames = frames;
    voice->position = std::min(voice->position, frames);
  }
}

void AudioMixer::SetPosition(int id, size_t frame) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) voice->position = std::min(frame, Length(*voice));
}

void AudioMixer::Play(int id, bool loop) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    voice->playing = true;
    voice->looping = loop;
  }
}

void AudioMixer::Stop(int id) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) voice->playing = false;
}

void AudioMixer::SetGain(int id, float gain) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) voice->gain = gain;
}

bool AudioMixer::IsPlaying(int id) {
  std::lock_guard lock(mutex_);
  Voice* voice = Find(id);
  return voice != nullptr && voice->playing;
}

size_t AudioMixer::Position(int id) {
  std::lock_guard lock(mutex_);
  Voice* voice = Find(id);
  return voice != nullptr ? voice->position : 0;
}

bool AudioMixer::SetProgramActive(bool active) {
  std::lock_guard lock(mutex_);
  bool changed = programActive_ != active;
  programActive_ = active;
  return changed;
}

AudioMixer::Voice* AudioMixer::Find(int id) {
  if (id < 0 || static_cast<size_t>(id) >= voices_.size() || !voices_[static_cast<size_t>(id)]) return nullptr;
  return &*voices_[static_cast<size_t>(id)];
}

void AudioMixer::Mix(int16_t* stereo, size_t frames) {
  constexpr size_t kBlockFrames = 512;
  float sum[kBlockFrames * 2];
  std::lock_guard lock(mutex_);
  for (size_t done = 0; done < frames;) {
    size_t block = std::min(kBlockFrames, frames - done);
    std::fill_n(sum, block * 2, 0.0f);
    for (auto& voice : voices_) {
      if (!voice || !voice->playing) continue;
      bool heard = programActive_ || !voice->followsFocus;
      MixVoice(*voice, heard ? sum : nullptr, block);
    }
    for (size_t i = 0; i < block * 2; ++i) {
      stereo[done * 2 + i] = static_cast<int16_t>(std::clamp(std::lrint(sum[i]), -32768L, 32767L));
    }
    done += block;
  }
}

size_t AudioMixer::Length(const Voice& voice) {
  return voice.frames.empty() ? voice.silentFrames : voice.frames.size() / 2;
}

// Adds the voice's next frames into `sum`, wrapping when it loops and
// stopping at its end, through its once-ending, when it does not. With no
// `sum`, or for a silent voice, the voice moves on by the same steps unheard.
void AudioMixer::MixVoice(Voice& voice, float* sum, size_t frames) {
  size_t length = Length(voice);
  if (voice.frames.empty()) sum = nullptr;
  size_t endingStart = length - voice.onceEnding.size() / 2;
  size_t out = 0;
  while (out < frames && voice.playing) {
    if (length == 0) {
      voice.playing = false;
      break;
    }
    bool inEnding = !voice.looping && voice.position >= endingStart;
    size_t until = voice.looping || inEnding ? length : endingStart;
    size_t run = std::min(frames - out, until - voice.position);
    if (sum != nullptr) {
      const int16_t* from = inEnding ? voice.onceEnding.data() + (voice.position - endingStart) * 2
                                     : voice.frames.data() + voice.position * 2;
      float* to = sum + out * 2;
      for (size_t i = 0; i < run * 2; ++i) to[i] += from[i] * voice.gain;
    }
    out += run;
    voice.position += run;
    if (voice.position >= length) {
      voice.position = 0;
      voice.playing = voice.looping;
    }
  }
}

AudioMixer& TheAudioMixer() {
  static AudioMixer mixer;
  return mixer;
}

}  // namespace kaze::platform
