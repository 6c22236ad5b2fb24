// The C runtime's _endthread runs no destructors: nothing of the thread
// runs after it, so the flag can be raised right before.
#include "port_thread.h"

#include <process.h>

void PortEndThread(std::atomic<int32_t>& done) {
  done.store(1);
  _endthread();
}
