// vimage: a tool for people who make or check the program's pictures.
#include <iostream>

#include "vimage_commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return vimage::RunVImage(args, std::cout, std::cerr);
}
