// The sdl host's window: the screen opened full screen or as a window, with
// the present thread that draws into it started and ended.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "host/sdl/sdl_host_internal.h"
#include "host/sdl/view_fit.h"
#include "host/sdl/x11_window_loss.h"

namespace kaze::host {

void SdlHost::DesktopSize(int32_t& width, int32_t& height) {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    width = mode.w;
    height = mode.h;
  } else {
    width = kScreenWidth;
    height = kScreenHeight;
  }
}

bool SdlHost::OpenScreen(const ScreenIcon& icon) {
  if (window_ != nullptr) return true;
  int32_t x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  int32_t width = kScreenWidth, height = kScreenHeight;
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options_.window) {
    WindowedSize(width, height);
  } else {
    // The desktop keeps its mode; the picture is scaled onto it. The window
    // starts as a borderless one over the whole desktop, so that it covers
    // the screen even where no window manager acts on the full-screen state.
    SDL_Rect bounds{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayBounds(0, &bounds);
    x = bounds.x;
    y = bounds.y;
    width = bounds.w;
    height = bounds.h;
    flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI;
  }
  if (!CreateWindow(x, y, width, height, flags)) {
    std::fprintf(stderr, "kaze: cannot open a window: %s\n", SDL_GetError());
    return false;
  }
  fullscreen_ = !options_.window;
  if (fullscreen_) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  // No text entry: an input method must not take the space bar or the keys
  // (the program switches the input-method editor off as well).
  SDL_StopTextInput();
  // SDL copies the pixels into the window's icon property.
  if (icon.argb != nullptr) {
    if (SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.argb), ScreenIcon::kSize, ScreenIcon::kSize,
                                               32, ScreenIcon::kSize * 4, SDL_PIXELFORMAT_ARGB8888)) {
      SDL_SetWindowIcon(window_, surface);
      SDL_FreeSurface(surface);
    }
  }
  // The renderer is made on the present thread, which draws black first.
  SDL_SetEventFilter(&SdlHost::FilterWindowEvents, this);
  std::string error;
  auto presenter = options_.makePresenter ? options_.makePresenter() : CreateSdlPresenter(options_.scaling);
  if (!presenting_.Start(std::move(presenter), window_, options_.vsync, RefreshInterval(), error)) {
    std::fprintf(stderr, "kaze: cannot draw into the window: %s\n", error.c_str());
    CloseScreen();
    return false;
  }
  WatchForWindowLoss(window_);
  SDL_ShowWindow(window_);
  int32_t mouseX = 0, mouseY = 0;
  SDL_GetMouseState(&mouseX, &mouseY);
  MoveCursor(mouseX, mouseY);
  presenting_.Redraw();
  OpenPresentControllers();
  return true;
}

// Hidden until the renderer is made, so that only the final window is ever
// shown. Made for OpenGL where SDL's first renderer is OpenGL's, so that
// the renderer need not make the window anew on the present thread; a
// driver without OpenGL (dummy, offscreen) gets a plain window.
bool SdlHost::CreateWindow(int32_t x, int32_t y, int32_t width, int32_t height, Uint32 flags) {
  flags |= SDL_WINDOW_HIDDEN;
  SDL_RendererInfo first{};
  const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  const bool opengl = chosen != nullptr && *chosen != '\0'
                          ? std::string_view(chosen) == "opengl"
                          : SDL_GetRenderDriverInfo(0, &first) == 0 && std::string_view(first.name) == "opengl";
  if (opengl) window_ = SDL_CreateWindow("kaze", x, y, width, height, flags | SDL_WINDOW_OPENGL);
  if (window_ == nullptr) window_ = SDL_CreateWindow("kaze", x, y, width, height, flags);
  return window_ != nullptr;
}

// The display's refresh interval (60 Hz when unknown): presentations
// without vsync are paced to it.
std::chrono::steady_clock::duration SdlHost::RefreshInterval() const {
  SDL_DisplayMode mode{};
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0)
    return std::chrono::microseconds(1000000 / mode.refresh_rate);
  return std::chrono::microseconds(16667);
}

// The present thread ends, destroying the renderer, before the window goes.
void SdlHost::CloseScreen() {
  presenting_.Stop();
  SDL_SetEventFilter(nullptr, nullptr);
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    SettleWindowErrors();
  }
  window_ = nullptr;
}

void SdlHost::PresentFrame(const Frame& frame) {
  if (frame.pixels == nullptr || frame.pitch < int32_t(kScreenWidth * sizeof(uint16_t))) return;
  {
    std::lock_guard lock(publishMutex_);
    if (!frames_.Publish(frame)) return;
  }
  presenting_.FrameArrived();
}

void SdlHost::WakeMainThread() {
  std::lock_guard lock(wakeMutex_);
  wake_.notify_one();
}

// The window size for --window and for leaving full screen: --scale times
// 640x480, else the largest whole multiple that fits the desktop. A --scale
// too large for the desktop would put the control bar off the screen: the
// largest that fits instead, said once.
void SdlHost::WindowedSize(int32_t& width, int32_t& height) {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) DesktopSize(usable.w, usable.h);
  const int32_t fitting = LargestWholeScale(usable.w, usable.h);
  int32_t scale = options_.scale > 0 ? std::min<int32_t>(options_.scale, fitting) : fitting;
  if (scale < options_.scale && !scaleFitNoted_) {
    scaleFitNoted_ = true;
    std::fprintf(stderr,
                 "kaze: --scale %d (%dx%d) does not fit the desktop's usable area of %dx%d; "
                 "the window is %dx%d (--scale %d)\n",
                 options_.scale, kScreenWidth * options_.scale, kScreenHeight * options_.scale, usable.w, usable.h,
                 kScreenWidth * scale, kScreenHeight * scale, scale);
  }
  width = kScreenWidth * scale;
  height = kScreenHeight * scale;
}

// Main thread: events pumped (which also learns of a window the X server
// destroyed), then the boxes the game thread waits for.
void SdlHost::DoMainThreadWork() {
  SDL_PumpEvents();
  if (boxes_.HasWaiting()) boxes_.Serve([this](auto caption, auto text) { ShowBoxNow(caption, text); });
}

}  // namespace kaze::host
