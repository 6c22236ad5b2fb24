// The vimage tool's commands, apart from main so that tests can run them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vimage {

// Runs the command line (without the program name); the exit code.
int RunVImage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Writes the tool's usage.
void PrintUsage(std::ostream& out);

}  // namespace vimage
