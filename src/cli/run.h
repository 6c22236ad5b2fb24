// The POSIX entry: options -> platform settings and a host -> WinMain.
#pragma once

namespace kaze::cli {

// Runs the program; the process exit code (2 for a bad command line).
int Run(int argc, char** argv);

}  // namespace kaze::cli
