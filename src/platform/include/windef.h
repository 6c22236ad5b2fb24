// Basic Windows types with their Windows widths on every target: DWORD, LONG,
// HRESULT and UINT are 32-bit; handles, WPARAM and LPARAM are pointer-sized.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef int32_t HRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef uintptr_t DWORD_PTR;
typedef DWORD COLORREF;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BYTE* LPBYTE;
typedef void* HANDLE;

#define DECLARE_KAZE_HANDLE(name) \
  struct name##__;                 \
  typedef struct name##__* name
DECLARE_KAZE_HANDLE(HWND);
DECLARE_KAZE_HANDLE(HINSTANCE);
DECLARE_KAZE_HANDLE(HICON);
DECLARE_KAZE_HANDLE(HCURSOR);
DECLARE_KAZE_HANDLE(HBRUSH);
DECLARE_KAZE_HANDLE(HMENU);
DECLARE_KAZE_HANDLE(HACCEL);
DECLARE_KAZE_HANDLE(HDC);
DECLARE_KAZE_HANDLE(HBITMAP);
DECLARE_KAZE_HANDLE(HMIXER);
#undef DECLARE_KAZE_HANDLE
typedef void* HGDIOBJ;
typedef HINSTANCE HMODULE;

#define TRUE 1
#define FALSE 0
#define CALLBACK
#define WINAPI
#define APIENTRY

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))

#define S_OK ((HRESULT)0)
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *LPPOINT;

typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
typedef GUID* LPGUID;

// The base of every COM interface. QueryInterface is left out: the program
// never asks an object for another interface.
struct IUnknown {
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};
typedef IUnknown* LPUNKNOWN;
