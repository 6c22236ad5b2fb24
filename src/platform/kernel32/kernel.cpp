// Kernel and C runtime calls: the clock, sleeping, the debugger output, the
// message box and thread start and end. All of them go to the host, so a
// host may run the program on a virtual clock.
#include <process.h>
#include <windows.h>

#include <string_view>
#ifdef __EMSCRIPTEN__
#include <pthread.h>
#endif

#include "host/host.h"
#include "platform/setup/faults.h"
#include "port_thread.h"

namespace {

// Thrown by _endthread and caught by the thread's entry, so that the ending
// thread unwinds its stack (destructors run) and nothing of it runs on.
// `done`, when given, is raised once the stack is unwound.
struct ThreadExit {
  std::atomic<int32_t>* done = nullptr;
};

struct ThreadStart {
  void (*entry)(void*);
  void* argument;
};

}  // namespace

DWORD GetTickCount() { return kaze::host::TheHost().TickCount(); }

void Sleep(DWORD milliseconds) { kaze::host::TheHost().Sleep(milliseconds); }

void OutputDebugStringA(LPCSTR text) {
  if (text != nullptr) kaze::host::TheHost().DebugOutput(text);
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  kaze::host::TheHost().MessageBox(caption != nullptr ? caption : "Error", text != nullptr ? text : "");
  return IDOK;
}

uintptr_t _beginthread(void (*start_address)(void*), unsigned, void* arglist) {
  if (start_address == nullptr || kaze::platform::CheckFault("_beginthread")) return static_cast<uintptr_t>(-1);
  ThreadStart start{start_address, arglist};
  bool started = kaze::host::TheHost().StartThread([start] {
    try {
      start.entry(start.argument);
    } catch (const ThreadExit& exit) {
      // The thread ended itself with _endthread; its stack is unwound.
      if (exit.done != nullptr) exit.done->store(1);
    }
  });
  // The C runtime hands back the thread's handle; any value but -1 will do.
  return started ? 1 : static_cast<uintptr_t>(-1);
}

#ifdef __EMSCRIPTEN__
// The browser build catches no C++ exceptions (catching would route every
// call with a destructor through JavaScript). There a thread ends as the C
// runtime's _endthread ends it: where it stands, its destructors not run.
void _endthread() { pthread_exit(nullptr); }

void PortEndThread(std::atomic<int32_t>& done) {
  done.store(1);
  pthread_exit(nullptr);
}
#else
void _endthread() { throw ThreadExit{}; }

void PortEndThread(std::atomic<int32_t>& done) { throw ThreadExit{&done}; }
#endif
