// DirectSound: the object, the primary buffer and static secondary buffers of
// PCM.
#pragma once

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
} DSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// Cooperative levels
#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u
#define DSSCL_EXCLUSIVE 0x00000003u
#define DSSCL_WRITEPRIMARY 0x00000004u

// Buffer capabilities
#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100u
#define DSBCAPS_STICKYFOCUS 0x00004000u
#define DSBCAPS_GLOBALFOCUS 0x00008000u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u

// Play, lock and status flags
#define DSBPLAY_LOOPING 0x00000001u
#define DSBLOCK_ENTIREBUFFER 0x00000002u
#define DSBSTATUS_PLAYING 0x00000001u
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
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)

// The interfaces as the SDK declares them: abstract, reached only through
// the pointers that DirectSoundCreate and CreateSoundBuffer hand out.
struct IDirectSoundBuffer : public IUnknown {
  virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD part1Bytes, LPVOID* part2, LPDWORD part2Bytes,
                       DWORD flags) = 0;
  virtual HRESULT Unlock(LPVOID part1, DWORD part1Bytes, LPVOID part2, DWORD part2Bytes) = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
  virtual HRESULT SetCurrentPosition(DWORD position) = 0;
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetStatus(LPDWORD status) = 0;
  virtual HRESULT GetVolume(LPLONG volume) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
};

struct IDirectSound : public IUnknown {
  virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD level) = 0;
  virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) = 0;
};

HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
