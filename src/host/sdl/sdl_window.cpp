// The sdl host's window and renderer: the screen opened full screen or as a
// window, and the frames the game thread publishes presented by the main
// thread, at most once per display refresh.
#include <algorithm>
#include <chrono>
#include <cstdio>

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
  // Hidden until the renderer is made: an OpenGL renderer makes the window
  // anew, and only the final window should ever be shown.
  window_ = SDL_CreateWindow("kaze", x, y, width, height, flags | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
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
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr || !drawer_.Prepare(renderer_)) {
    std::fprintf(stderr, "kaze: cannot draw into the window: %s\n", SDL_GetError());
    CloseScreen();
    return false;
  }
  WatchForWindowLoss(window_);
  SDL_ShowWindow(window_);
  SDL_DisplayMode mode{};
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0)
    refreshInterval_ = std::chrono::microseconds(1000000 / mode.refresh_rate);
  int32_t mouseX = 0, mouseY = 0;
  SDL_GetMouseState(&mouseX, &mouseY);
  MoveCursor(mouseX, mouseY);
  Draw(nullptr);
  return true;
}

void SdlHost::CloseScreen() {
  drawer_.Release();
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    SettleWindowErrors();
  }
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlHost::PresentFrame(const Frame& frame) {
  if (frame.pixels == nullptr || frame.pitch < int32_t(kScreenWidth * sizeof(uint16_t))) return;
  {
    std::lock_guard lock(publishMutex_);
    if (!frames_.Publish(frame)) return;
  }
  WakeMainThread();
}

void SdlHost::WakeMainThread() {
  std::lock_guard lock(wakeMutex_);
  wake_.notify_one();
}

// Main thread: the given frame, or black when there is none yet.
void SdlHost::Draw(const StoredFrame* frame) {
  if (renderer_ == nullptr || WindowWasLost()) return;
  int32_t outputWidth = 0, outputHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  drawer_.Draw(renderer_, frame, options_.scaling, outputWidth, outputHeight);
  SDL_RenderPresent(renderer_);
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

// Main thread: the boxes the game thread waits for, then the newest frame.
// Events are pumped first, so that a window the server destroyed is known
// before a frame is drawn on it.
void SdlHost::DoMainThreadWork() {
  SDL_PumpEvents();
  if (boxes_.HasWaiting()) boxes_.Serve([this](auto caption, auto text) { ShowBoxNow(caption, text); });
  if (recorder_.IsOpen()) recorder_.CatchUp(std::chrono::steady_clock::now());
  if (!FrameDue()) return;
  nextPresent_ = std::chrono::steady_clock::now() + refreshInterval_;
  if (const StoredFrame* frame = frames_.TakeNewest()) {
    recorder_.Shown(frame);
    const uint64_t taken = logs_.PresentBegins();
    Draw(frame);
    logs_.PresentEnded(taken);
  }
}

bool SdlHost::FrameDue() const { return frames_.HasNew() && std::chrono::steady_clock::now() >= nextPresent_; }

}  // namespace kaze::host
