// Time per 640x480 frame of the drawing operations, each beside the closest
// operation of pixman and of SDL2's software surfaces on the same 5-6-5
// buffers, and beside memcpy of the same bytes (bytes_per_second reads as
// frame bytes moved). Run: build/release/bench/kaze_bench_drawing
//
// kaze_kernels.cpp: memcpy and the port's bare blitter and pixel loops.
// kaze_display.cpp: the same operations as the scenes call them, through the
//   display's stand-in surfaces.
// pixman.cpp, sdl_surfaces.cpp: the peer libraries' closest operations.
//
// The benchmarks register, and so list and run, in the order these files
// are linked (bench/CMakeLists.txt): the port's first, then the peers'.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
