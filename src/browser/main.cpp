// The browser build's program: the data set packed with the page at
// /kaze/Data, the stand-in as a player's run has it, and the web host. It
// runs on a worker, so that the message loop and the game thread keep their
// blocking shape.
#include <emscripten.h>

#include <memory>

#include "host/web/web_host.h"
#include "program/run_program.h"

int main() {
  using namespace kaze;
  program::ProgramSettings settings;
  settings.dataRoot = "/kaze";
  settings.platform.displayLayout = platform::PixelLayout::Rgb565;
  std::unique_ptr<host::Host> host = host::CreateWebHost();
  const int exitCode = program::RunProgram(settings, *host);
  // The page stays, showing the end; the runtime is not torn down under it
  // (its workers would be ended with the page still using the memory).
  emscripten_exit_with_live_runtime();
  return exitCode;
}
