// Ending a thread of _beginthread from inside its work.
#pragma once

#include <atomic>
#include <cstdint>

// Ends the calling thread, a thread of _beginthread, for good, and stores 1
// in `done` once nothing of the thread runs any more. The C runtime's
// _endthread stops the thread where it stands: `done` is stored just
// before. The stand-in's _endthread unwinds the thread's stack first, so
// that the destructors of its objects run: `done` is stored after them.
[[noreturn]] void PortEndThread(std::atomic<int32_t>& done);
