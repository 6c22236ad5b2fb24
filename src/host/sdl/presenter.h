// What the present thread draws with: the renderer of the window, made,
// used and destroyed on that thread alone (SDL's renderer belongs to the
// thread that made it). The main thread never calls into a presenter.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "host/frame_exchange.h"
#include "host/sdl/view_fit.h"

namespace kaze::host {

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Makes the renderer for `window`, presenting on the display's refresh
  // when `vsync` and the driver offers it; false with the reason in `error`.
  virtual bool Open(SDL_Window* window, bool vsync, std::string& error) = 0;
  // Whether a presentation waits for the display's refresh.
  virtual bool Vsynced() const = 0;
  // The window's size may have changed (before the next Draw).
  virtual void WindowResized() {}
  // Draws the frame (black when null) scaled into the window and presents it.
  virtual void Draw(const StoredFrame* frame) = 0;
  // Destroys the renderer; the window stays.
  virtual void Close() = 0;
};

// The presenter of the sdl host: SDL's renderer (OpenGL where present),
// the picture enlarged in `scaling`'s way.
std::unique_ptr<Presenter> CreateSdlPresenter(ScalingMode scaling);

}  // namespace kaze::host
