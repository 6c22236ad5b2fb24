#include "host/sdl/x11_window_loss.h"

#ifdef KAZE_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#endif

#include <atomic>

namespace kaze::host {

namespace {
std::atomic<bool> gLost{false};
}  // namespace

bool WindowWasLost() { return gLost.load(); }

#ifdef KAZE_HAVE_X11
namespace {

std::atomic<unsigned long> gWindow{0};
std::atomic<Display*> gDisplay{nullptr};  // read by the present thread too
XErrorHandler gEarlier = nullptr;

// The server tells of the destruction as an event: seen as SDL pumps
// events, before anything more is drawn on the window (Mesa's software
// OpenGL draws into a destroyed window with garbage for its size).
int OnEvent(void*, SDL_Event* event) {
  if (event->type != SDL_SYSWMEVENT || event->syswm.msg->subsystem != SDL_SYSWM_X11) return 1;
  const XEvent& x11 = event->syswm.msg->msg.x11.event;
  if (x11.type == DestroyNotify && x11.xdestroywindow.window == gWindow.load()) gLost.store(true);
  return 1;
}

// Any error whose resource is the window (BadWindow, BadDrawable, and the
// extensions' own, such as GLX's) means it is gone; the rest go on to the
// handler that was there before (SDL's, then Xlib's).
int OnXError(Display* display, XErrorEvent* error) {
  if (error->resourceid != 0 && error->resourceid == gWindow.load()) {
    gLost.store(true);
    return 0;
  }
  return gEarlier != nullptr ? gEarlier(display, error) : 0;
}

}  // namespace

void WatchForWindowLoss(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  gWindow.store(info.info.x11.window);
  gLost.store(false);
  gDisplay.store(info.info.x11.display);
  XErrorHandler earlier = XSetErrorHandler(&OnXError);
  if (earlier != &OnXError) gEarlier = earlier;
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  SDL_DelEventWatch(&OnEvent, nullptr);
  SDL_AddEventWatch(&OnEvent, nullptr);
}

bool WindowGoneOnServer() {
  Display* display = gDisplay.load();
  const ::Window window = gWindow.load();
  if (display == nullptr || window == 0) return WindowWasLost();
  ::Window root = 0;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  // Fails with BadDrawable about the window once it is gone: OnXError.
  XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
  return WindowWasLost();
}

void SettleWindowErrors() {
  if (Display* display = gDisplay.load(); display != nullptr) XSync(display, False);
}
#else
void WatchForWindowLoss(SDL_Window*) {}
bool WindowGoneOnServer() { return WindowWasLost(); }
void SettleWindowErrors() {}
#endif

}  // namespace kaze::host
