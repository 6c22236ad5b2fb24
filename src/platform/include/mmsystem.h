// Windows multimedia (winmm): RIFF file reading through mmio, the PCM wave
// format record, and the audio mixer interface.
#pragma once

#include "windef.h"

typedef UINT MMRESULT;
typedef DWORD FOURCC;
typedef char* HPSTR;

struct HMMIO__;
typedef struct HMMIO__* HMMIO;
struct HMIXEROBJ__;
typedef struct HMIXEROBJ__* HMIXEROBJ;
typedef HMIXER* LPHMIXER;

#define mmioFOURCC(c0, c1, c2, c3)                                                                  \
  (static_cast<FOURCC>(static_cast<BYTE>(c0)) | (static_cast<FOURCC>(static_cast<BYTE>(c1)) << 8) | \
   (static_cast<FOURCC>(static_cast<BYTE>(c2)) << 16) | (static_cast<FOURCC>(static_cast<BYTE>(c3)) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')

// Results
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define MIXERR_INVALLINE 1024
#define MIXERR_INVALCONTROL 1025
#define MMIOERR_CANNOTSEEK 263
#define MMIOERR_CHUNKNOTFOUND 265

// ---------------------------------------------------------------- mmio

// mmioOpen flags
#define MMIO_READ 0x00000000u
#define MMIO_ALLOCBUF 0x00010000u
// mmioDescend flags
#define MMIO_FINDCHUNK 0x0010u
#define MMIO_FINDRIFF 0x0020u
#define MMIO_FINDLIST 0x0040u

typedef struct _MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;
  DWORD dwDataOffset;
  DWORD dwFlags;
} MMCKINFO, *LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;

// Only opening a file by name is supported; the record is accepted for the
// call's shape and must be null.
struct _MMIOINFO;
typedef struct _MMIOINFO* LPMMIOINFO;

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags);
MMRESULT mmioClose(HMMIO file, UINT flags);
LONG mmioRead(HMMIO file, HPSTR buffer, LONG bytes);
MMRESULT mmioDescend(HMMIO file, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags);
MMRESULT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);
#define mmioOpen mmioOpenA

// ---------------------------------------------------------------- wave format

#define WAVE_FORMAT_PCM 1

#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
} WAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

// ---------------------------------------------------------------- mixer

#define MAXPNAMELEN 32
#define MIXER_SHORT_NAME_CHARS 16
#define MIXER_LONG_NAME_CHARS 64

typedef UINT MMVERSION;

// Byte-packed, as the SDK declares them: the pointer-sized fields of the
// line and control structures follow 32-bit ones without padding.
#pragma pack(push, 1)
typedef struct tagMIXERCAPSA {
  WORD wMid;
  WORD wPid;
  MMVERSION vDriverVersion;
  CHAR szPname[MAXPNAMELEN];
  DWORD fdwSupport;
  DWORD cDestinations;
} MIXERCAPSA, *LPMIXERCAPSA;

typedef struct tagMIXERLINEA {
  DWORD cbStruct;
  DWORD dwDestination;
  DWORD dwSource;
  DWORD dwLineID;
  DWORD fdwLine;
  DWORD_PTR dwUser;
  DWORD dwComponentType;
  DWORD cChannels;
  DWORD cConnections;
  DWORD cControls;
  CHAR szShortName[MIXER_SHORT_NAME_CHARS];
  CHAR szName[MIXER_LONG_NAME_CHARS];
  struct {
    DWORD dwType;
    DWORD dwDeviceID;
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
  } Target;
} MIXERLINEA, *LPMIXERLINEA;

typedef struct tagMIXERCONTROLA {
  DWORD cbStruct;
  DWORD dwControlID;
  DWORD dwControlType;
  DWORD fdwControl;
  DWORD cMultipleItems;
  CHAR szShortName[MIXER_SHORT_NAME_CHARS];
  CHAR szName[MIXER_LONG_NAME_CHARS];
  union {
    struct {
      LONG lMinimum;
      LONG lMaximum;
    };
    struct {
      DWORD dwMinimum;
      DWORD dwMaximum;
    };
    DWORD dwReserved[6];
  } Bounds;
  union {
    DWORD cSteps;
    DWORD cbCustomData;
    DWORD dwReserved[6];
  } Metrics;
} MIXERCONTROLA, *LPMIXERCONTROLA;

typedef struct tagMIXERLINECONTROLSA {
  DWORD cbStruct;
  DWORD dwLineID;
  union {
    DWORD dwControlID;
    DWORD dwControlType;
  };
  DWORD cControls;
  DWORD cbmxctrl;
  LPMIXERCONTROLA pamxctrl;
} MIXERLINECONTROLSA, *LPMIXERLINECONTROLSA;

typedef struct tMIXERCONTROLDETAILS {
  DWORD cbStruct;
  DWORD dwControlID;
  DWORD cChannels;
  union {
    HWND hwndOwner;
    DWORD cMultipleItems;
  };
  DWORD cbDetails;
  LPVOID paDetails;
} MIXERCONTROLDETAILS, *LPMIXERCONTROLDETAILS;

typedef struct tMIXERCONTROLDETAILS_UNSIGNED {
  DWORD dwValue;
} MIXERCONTROLDETAILS_UNSIGNED;
#pragma pack(pop)

typedef MIXERCAPSA MIXERCAPS;
typedef MIXERLINEA MIXERLINE;
typedef MIXERCONTROLA MIXERCONTROL;
typedef MIXERLINECONTROLSA MIXERLINECONTROLS;

// Object kinds for the mixer calls' flags
#define MIXER_OBJECTF_HANDLE 0x80000000u
#define MIXER_OBJECTF_MIXER 0x00000000u
#define MIXER_OBJECTF_HMIXER (MIXER_OBJECTF_HANDLE | MIXER_OBJECTF_MIXER)

// mixerGetLineInfo
#define MIXER_GETLINEINFOF_DESTINATION 0x00000000u
#define MIXER_GETLINEINFOF_SOURCE 0x00000001u
#define MIXER_GETLINEINFOF_LINEID 0x00000002u
#define MIXER_GETLINEINFOF_QUERYMASK 0x0000000Fu

// mixerGetLineControls, mixerGetControlDetails, mixerSetControlDetails
#define MIXER_GETLINECONTROLSF_ALL 0x00000000u
#define MIXER_GETLINECONTROLSF_QUERYMASK 0x0000000Fu
#define MIXER_GETCONTROLDETAILSF_VALUE 0x00000000u
#define MIXER_GETCONTROLDETAILSF_QUERYMASK 0x0000000Fu
#define MIXER_SETCONTROLDETAILSF_VALUE 0x00000000u

// Line flags and component types
#define MIXERLINE_LINEF_ACTIVE 0x00000001u
#define MIXERLINE_LINEF_SOURCE 0x80000000u
#define MIXERLINE_COMPONENTTYPE_DST_SPEAKERS 0x00000004u
#define MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT 0x00001008u
#define MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER 0x00001004u
#define MIXERLINE_TARGETTYPE_UNDEFINED 0

// Controls
#define MIXERCONTROL_CONTROLF_UNIFORM 0x00000001u
#define MIXERCONTROL_CONTROLF_MULTIPLE 0x00000002u
#define MIXERCONTROL_CONTROLF_DISABLED 0x80000000u
#define MIXERCONTROL_CONTROLTYPE_VOLUME 0x50030001u
#define MIXERCONTROL_CONTROLTYPE_MUTE 0x20010002u

UINT mixerGetNumDevs();
MMRESULT mixerGetDevCapsA(UINT_PTR mixerId, LPMIXERCAPSA caps, UINT capsSize);
MMRESULT mixerOpen(LPHMIXER mixer, UINT mixerId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT mixerClose(HMIXER mixer);
MMRESULT mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags);
MMRESULT mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags);
MMRESULT mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls, DWORD flags);
MMRESULT mixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags);
MMRESULT mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags);
#define mixerGetDevCaps mixerGetDevCapsA
#define mixerGetLineInfo mixerGetLineInfoA
#define mixerGetLineControls mixerGetLineControlsA
#define mixerGetControlDetails mixerGetControlDetailsA
