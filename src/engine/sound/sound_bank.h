// The DirectSound object, the primary buffer and ten channels of static
// secondary buffers, each holding one whole WAV file.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

struct IDirectSound;
struct IDirectSoundBuffer;

constexpr int kChannelCount = 10;
constexpr uint16_t kNoChannel = 0xFFFF;

class SoundBank {
 public:
  SoundBank();
  ~SoundBank();
  SoundBank(const SoundBank&) = delete;
  SoundBank& operator=(const SoundBank&) = delete;

  int Initialise(HWND window);
  uint16_t LoadWave(const char* name);
  uint16_t FindFreeChannel() const;
  int PlayChannel(uint16_t channel, int loop);
  int StopChannel(uint16_t channel);
  int FreeChannel(uint16_t channel);
  int32_t SetChannelVolume(int32_t channel, int32_t volume);

  HWND window;
  uint8_t* sampleCopies[kChannelCount];
  uint32_t sampleSizes[kChannelCount];
  IDirectSound* directSound;
  IDirectSoundBuffer* primaryBuffer;
  IDirectSoundBuffer* channels[kChannelCount];

 private:
  uint16_t ReadWaveHeader(HMMIO file, WAVEFORMATEX& format, uint32_t& dataSize);
  bool ReadSamples(HMMIO file, uint16_t channel, uint32_t dataSize);
  uint16_t FillChannel(uint16_t channel, WAVEFORMATEX& format);
  void DropSampleCopy(uint16_t channel);
};

// Null when sound is unavailable; every sound call then does nothing.
extern SoundBank* TheSoundBank;

// Creates TheSoundBank; 1, or 0 (and TheSoundBank null) without DirectSound.
int CreateSoundBank(HWND window);
