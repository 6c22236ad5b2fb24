// The browser build's program: the data set packed with the page at
// /kaze/Data, the machine's settings as a player's run has them, and the web
// host. It runs on a worker, so that the message loop and the game thread
// keep their blocking shape.
#include <windows.h>

#include <emscripten.h>

#include <cstdint>
#include <memory>

#include "host/web/web_host.h"
#include "platform/kernel32/files.h"
#include "platform/setup/settings.h"
#include "platform/user32/resources.h"
#include "resources/resources.h"
#include "shell/main_window.h"

int main() {
  using namespace kaze;
  platform::Settings& settings = platform::TheSettings();
  settings.displayLayout = platform::PixelLayout::Rgb565;
  platform::SetDataRoot("/kaze");
  platform::InstallResources(&ExecutableResources());

  std::unique_ptr<host::Host> host = host::CreateWebHost();
  host::SetHost(host.get());
  static char commandLine[] = "";
  const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWNORMAL);
  host->Finish(exitCode);
  // The page stays, showing the end; the runtime is not torn down under it
  // (its workers would be ended with the page still using the memory).
  emscripten_exit_with_live_runtime();
  return exitCode;
}
