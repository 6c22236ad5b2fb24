// The program's one entry, for the command line and the browser alike: the
// stand-in set up as the settings say, the host handed to the platform, and
// WinMain run to its end.
#pragma once

#include <filesystem>
#include <string_view>

#include "host/host.h"
#include "platform/setup/settings.h"

namespace kaze::program {

struct ProgramSettings {
  std::filesystem::path dataRoot;  // the folder that holds the data set's Data folder
  platform::Settings platform;     // the display's pixel format, a missing sound device
};

// Runs the program on `host`, which is the platform's host until the
// program has ended and the host has been told so (Host::Finish); the
// program's exit code.
int RunProgram(const ProgramSettings& settings, host::Host& host);

// Makes a platform call fail for the rest of the process, as --fault says:
// NAME=RESULT[@N]. False, with nothing changed, for text that says no such
// thing.
bool InjectFault(std::string_view text);

}  // namespace kaze::program
