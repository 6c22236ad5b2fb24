// DirectSound: the object, the primary buffer and static secondary buffers of
// PCM. The interfaces are concrete classes here; the buffers are mixed in
// software into the host's audio output.
#pragma once

#include <cstdint>
#include <vector>

#include "mmsystem.h"
#include "windef.h"

struct IDirectSound;
struct IDirectSoundBuffer;
typedef IDirectSound* LPDIRECTSOUND;
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// The buffer description of the first DirectSound interface set.
typedef struct _DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// Cooperative levels
#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u
#define DSSCL_EXCLUSIVE 0x00000003u
#define DSSCL_WRITEPRIMARY 0x00000004u

// Buffer capabilities
#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_LOCHARDWARE 0x00000004u
#define DSBCAPS_LOCSOFTWARE 0x00000008u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u

// Play, lock and status flags
#define DSBPLAY_LOOPING 0x00000001u
#define DSBLOCK_FROMWRITECURSOR 0x00000001u
#define DSBLOCK_ENTIREBUFFER 0x00000002u
#define DSBSTATUS_PLAYING 0x00000001u
#define DSBSTATUS_BUFFERLOST 0x00000002u
#define DSBSTATUS_LOOPING 0x00000004u

// Limits
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

// Results
#define DS_OK ((HRESULT)0)
#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000u | (code)))
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)
#define DSERR_UNINITIALIZED MAKE_DSHRESULT(170)

namespace kaze::platform {

// The stand-in's own state of a buffer, underneath its COM face.
struct SoundBufferState {
  ULONG refCount = 1;
  DWORD flags = 0;
  bool primary = false;
  WAVEFORMATEX format{};
  std::vector<uint8_t> memory;  // the buffer's bytes in its own format
  bool locked = false;
  LONG volume = 0;
  bool looping = false;  // as last started
  int voice = -1;  // the mixer voice of a secondary buffer
  IDirectSound* owner = nullptr;
};

}  // namespace kaze::platform

struct IDirectSoundBuffer {
  ULONG AddRef();
  ULONG Release();
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD part1Bytes, LPVOID* part2,
               LPDWORD part2Bytes, DWORD flags);
  HRESULT Unlock(LPVOID part1, DWORD part1Bytes, LPVOID part2, DWORD part2Bytes);
  HRESULT Restore();
  HRESULT SetCurrentPosition(DWORD position);
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
  HRESULT Stop();
  HRESULT GetStatus(LPDWORD status);
  HRESULT GetVolume(LPLONG volume);
  HRESULT SetVolume(LONG volume);
  HRESULT SetFormat(LPCWAVEFORMATEX format);

  kaze::platform::SoundBufferState state;
};

struct IDirectSound {
  ULONG AddRef();
  ULONG Release();
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD level);
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer);

  ULONG refCount = 1;
  DWORD cooperativeLevel = 0;
  HWND cooperativeWindow = nullptr;
};

HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
