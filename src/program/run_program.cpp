#include "program/run_program.h"

#include <windows.h>

#include <cstdint>

#include "platform/kernel32/files.h"
#include "platform/setup/faults.h"
#include "platform/user32/resources.h"
#include "program/executable_resources.h"
#include "shell/main_window.h"

namespace kaze::program {

int RunProgram(const ProgramSettings& settings, host::Host& host) {
  platform::TheSettings() = settings.platform;
  platform::SetDataRoot(settings.dataRoot);
  platform::InstallResources(&ExecutableResources());
  host::SetHost(&host);

  static char commandLine[] = "";
  const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWNORMAL);
  host.Finish(exitCode);
  host::SetHost(nullptr);
  return exitCode;
}

bool InjectFault(std::string_view text) { return platform::InjectFaultSpec(text); }

}  // namespace kaze::program
