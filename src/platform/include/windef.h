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
typedef char CHAR;
typedef int32_t HRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef DWORD COLORREF;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef void* HANDLE;

// Handles: each a pointer to a type of its own, so that one kind does not
// pass for another.
struct HWND__;
typedef struct HWND__* HWND;
struct HINSTANCE__;
typedef struct HINSTANCE__* HINSTANCE;
struct HICON__;
typedef struct HICON__* HICON;
struct HCURSOR__;
typedef struct HCURSOR__* HCURSOR;
struct HBRUSH__;
typedef struct HBRUSH__* HBRUSH;
struct HMENU__;
typedef struct HMENU__* HMENU;
struct HACCEL__;
typedef struct HACCEL__* HACCEL;
struct HDC__;
typedef struct HDC__* HDC;
struct HBITMAP__;
typedef struct HBITMAP__* HBITMAP;
struct HMIXER__;
typedef struct HMIXER__* HMIXER;
typedef void* HGDIOBJ;

#define TRUE 1
#define FALSE 0
#define CALLBACK
#define WINAPI

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))

#define E_FAIL ((HRESULT)0x80004005)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;

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
