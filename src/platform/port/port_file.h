// Opening the data set's files by the program's own names for them.
#pragma once

#include <cstdio>

// fopen for a path such as "Data\main\pp0010.v": backslashes separate the
// components and each component is matched without regard to letter case,
// below the data folder. Null when no such file exists or the path would
// leave the data folder. (On Windows this is plain fopen.)
std::FILE* PortOpenFile(const char* path, const char* mode);
