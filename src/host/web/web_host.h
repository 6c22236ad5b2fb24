// The story in a browser tab: the screen on a canvas, the mouse and the keys
// of the page, the sound through an audio worklet and the message boxes in
// the page. The program's threads are workers; the page's own thread only
// draws and passes events on, and never waits for the program.
#pragma once

#include <memory>

#include "host/host.h"

namespace kaze::host {

// The page's part (page.js) must be loaded; call on the program's main
// thread, which is not the browser's.
std::unique_ptr<Host> CreateWebHost();

}  // namespace kaze::host
