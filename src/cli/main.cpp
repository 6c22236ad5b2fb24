#include "cli/run.h"

int main(int argc, char** argv) { return kaze::cli::Run(argc, argv); }
