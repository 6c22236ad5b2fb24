// The player's machine: a window or full screen, mouse, keyboard, cursor and
// audio through SDL2.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/host.h"
#include "host/sdl/view_fit.h"

namespace kaze::host {

class Presenter;

struct SdlHostOptions {
  bool window = false;                       // a window instead of full screen
  int scale = 0;                             // window size as a multiple of 640x480; 0: the largest that fits
  ScalingMode scaling = ScalingMode::Sharp;  // how the picture is enlarged (view_fit.h)
  std::string recordPath;                    // empty: no video of the screen (see screen_recorder.h)
  std::string audioOutPath;                  // empty: no recording of the sound (see audio_recorder.h)
  bool mixer = true;                         // the sound card's mixer; false: a machine without one
  bool vsync = true;                         // present on the display's refresh where the driver can
  std::string screenshotDir{};               // F12's folder; empty: the current one
  // Alt+Enter or F11 made this choice (on the main thread, which may take
  // the moment to remember it).
  std::function<void(bool fullscreen)> fullscreenChosen{};
  // Tests: what the present thread draws with instead of SDL's renderer.
  std::function<std::unique_ptr<Presenter>()> makePresenter{};
};

// Null, with a one-line reason in `error`, when no display is available or
// a recording's file cannot be created.
std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string& error);

}  // namespace kaze::host
