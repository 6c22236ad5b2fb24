// The POSIX entry: options -> a host and the program's settings -> RunProgram.
#pragma once

namespace kaze::cli {

// Runs the program; the process exit code (2 for a bad command line or a
// run that cannot start, 3 when a file the run writes could not be written).
int Run(int argc, char** argv);

}  // namespace kaze::cli
