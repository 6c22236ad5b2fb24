// The stand-in's DirectSound objects: the classes behind the SDK's abstract
// interfaces, holding what each object is underneath its COM face. A
// secondary buffer's samples are mixed in software into the host's audio
// output (audio_mixer.h).
#pragma once

#include <dsound.h>

#include <cstdint>
#include <vector>

namespace kaze::platform {

class DirectSound final : public IDirectSound {
 public:
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD level) override;
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;

  ULONG refCount = 1;
  DWORD cooperativeLevel = 0;
  HWND cooperativeWindow = nullptr;
};

// What a buffer is underneath: its bytes, format and mixer voice.
struct SoundBufferState {
  ULONG refCount = 1;
  DWORD flags = 0;
  bool primary = false;
  WAVEFORMATEX format{};
  std::vector<uint8_t> memory;  // the buffer's bytes in its own format
  bool locked = false;
  LONG volume = 0;
  bool looping = false;  // as last started
  int voice = -1;        // the mixer voice of a secondary buffer
  DirectSound* owner = nullptr;
};

class DirectSoundBuffer final : public IDirectSoundBuffer {
 public:
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD part1Bytes, LPVOID* part2, LPDWORD part2Bytes,
               DWORD flags) override;
  HRESULT Unlock(LPVOID part1, DWORD part1Bytes, LPVOID part2, DWORD part2Bytes) override;
  HRESULT Restore() override;
  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
  HRESULT SetCurrentPosition(DWORD position) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT Stop() override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT GetVolume(LPLONG volume) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;

  SoundBufferState state;
};

// The state under a buffer the engine holds, for the checks that look at it.
inline SoundBufferState& StateOf(IDirectSoundBuffer* buffer) { return static_cast<DirectSoundBuffer*>(buffer)->state; }

}  // namespace kaze::platform
