// C runtime thread start and end.
#pragma once

#include <cstdint>

// Starts start_address(arglist) on a new thread; returns -1 on failure.
uintptr_t _beginthread(void (*start_address)(void*), unsigned stack_size, void* arglist);
// Ends the calling thread. Does not return: the thread unwinds to its entry,
// so destructors of the objects on its stack run.
[[noreturn]] void _endthread();
