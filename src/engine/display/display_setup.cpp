#include "display/display_setup.h"

#include <initializer_list>
#include <new>

#include "display/ddraw_errors.h"
#include "display/display_device.h"
#include "shell/game_thread.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"
#include "sound/sound_bank.h"

IDirectDraw* TheDirectDraw = nullptr;
IDirectDrawSurface* PrimarySurface = nullptr;
IDirectDrawSurface* BackBufferSurface = nullptr;
IDirectDrawSurface* WorkSurface = nullptr;
IDirectDrawClipper* TheClipper = nullptr;

namespace {

constexpr DWORD kScreenWidth = 640;
constexpr DWORD kScreenHeight = 480;
constexpr DWORD kScreenBits = 16;

int Fail(HWND window, const char* message) {
  MessageBoxA(window, message, "ERROR", MB_OK);
  return 0;
}

HRESULT CreatePrimaryChain() {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  return TheDirectDraw->CreateSurface(&desc, &PrimarySurface, nullptr);
}

HRESULT CreateWorkSurface() {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = kScreenWidth;
  desc.dwHeight = kScreenHeight;
  return TheDirectDraw->CreateSurface(&desc, &WorkSurface, nullptr);
}

// Restores one surface if it was lost; false when the restore failed.
bool RestoreIfLost(IDirectDrawSurface* surface) {
  if (surface == nullptr || surface->IsLost() == DD_OK) return true;
  return surface->Restore() == DD_OK;
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object == nullptr) return;
  object->Release();
  object = nullptr;
}

}  // namespace

int InitDisplay(HWND window) {
  if (DisplayReady.load() == 1) return 1;
  CreateSoundBank(window);  // without DirectSound the program runs silently
  if (!InitDirectDraw(window)) return Fail(window, "DirectDrawCreate FAILD");

  DisplayDevice* display = new (std::nothrow) DisplayDevice;
  TheDisplay.store(display);
  RECT client{};
  GetClientRect(window, &client);
  if (display == nullptr) return Fail(window, "2D-ControlClassCreate FAILD");
  display->Attach(window, AppInstance, TheDirectDraw, PrimarySurface, BackBufferSurface, WorkSurface, client);
  display->ClearBackBuffer();
  display->Flip();

  if (!StartGameThread()) {
    GameThreadDone.store(1);
    return 0;
  }
  DisplayReady.store(1);
  AppActive.store(1);
  return 1;
}

int InitDirectDraw(HWND window) {
  HRESULT result = DirectDrawCreate(nullptr, &TheDirectDraw, nullptr);
  if (result != DD_OK) return Fail(window, "DirectDrawCreate FAILED");
  result = TheDirectDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
  if (result != DD_OK) return Fail(window, "SetCooperativeLevel FAILED");
  result = TheDirectDraw->SetDisplayMode(kScreenWidth, kScreenHeight, kScreenBits);
  if (result != DD_OK) return Fail(window, "SetDisplayMode FAILED");

  result = CreatePrimaryChain();
  if (result != DD_OK) {
    Fail(window, "CreateSurface FAILED");
    ReportDirectDrawError(window, result);
    return 0;
  }
  DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
  result = PrimarySurface->GetAttachedSurface(&backCaps, &BackBufferSurface);
  if (result != DD_OK) return Fail(window, "GetAttachedSurface FAILED");
  result = CreateWorkSurface();
  if (result != DD_OK) {
    Fail(window, "CreateOffscreen FAILED");
    ReportDirectDrawError(window, result);
    return 0;
  }

  result = TheDirectDraw->CreateClipper(0, &TheClipper, nullptr);
  if (result != DD_OK) return Fail(window, "CreateClipper FAILED");
  result = TheClipper->SetHWnd(0, window);
  if (result != DD_OK) return Fail(window, "SetHWnd FAILED");
  for (IDirectDrawSurface* surface : {PrimarySurface, BackBufferSurface, WorkSurface}) {
    if (surface->SetClipper(TheClipper) != DD_OK) return Fail(window, "SetClipper FAILED");
  }
  return 1;
}

int RestoreSurfaces(HWND window) {
  for (IDirectDrawSurface* surface : {PrimarySurface, BackBufferSurface, WorkSurface}) {
    if (!RestoreIfLost(surface)) return Fail(window, "Restore FAILD");
  }
  return 1;
}

void ReleaseDirectDraw() {
  ReleaseAndClear(WorkSurface);
  ReleaseAndClear(BackBufferSurface);
  ReleaseAndClear(PrimarySurface);
  ReleaseAndClear(TheClipper);
  if (TheDirectDraw != nullptr) {
    TheDirectDraw->RestoreDisplayMode();
    ReleaseAndClear(TheDirectDraw);
  }
}
