#include "shell/game_thread.h"

#include <process.h>
#include <windows.h>

#include "display/display_device.h"
#include "game/main_scene_loop.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"

uint32_t LastFrameTick = 0;

namespace {

// Raises GameThreadDone as the game thread leaves its body, by return or by
// _endthread's unwinding. It is the body's first object, so it goes last:
// every object of the scenario has been destroyed, and the thread touches
// nothing of the display or the sound any more, which lets Shutdown release
// them.
struct DoneWhenGone {
  DoneWhenGone() = default;
  DoneWhenGone(const DoneWhenGone&) = delete;
  DoneWhenGone& operator=(const DoneWhenGone&) = delete;
  ~DoneWhenGone() { GameThreadDone.store(1); }
};

}  // namespace

int StartGameThread() { return _beginthread(GameThreadMain, 0, nullptr) != static_cast<uintptr_t>(-1) ? 1 : 0; }

void (*GameScenario)() = MainSceneLoop;

void GameThreadMain(void*) { RunGameThread(GameScenario); }

void RunGameThread(void (*scenario)()) {
  const DoneWhenGone done;
  while (AppActive.load() == 0 || TheDisplay.load() == nullptr) {
    // A quit that comes before the scenario began (the application was
    // deactivated at once) ends the thread here, so Shutdown's wait ends.
    if (QuitRequested.load() != 0) _endthread();
    Sleep(1);
  }
  scenario();
  PostMessageA(MainWindow, WM_CLOSE, 0, 0);
  _endthread();
}

void PumpFrame() {
  if (QuitRequested.load() != 0) _endthread();  // GameThreadDone follows once the stack is unwound
  if (DisplayDevice* display = TheDisplay.load()) display->Flip();
  Sleep(1);
}

uint32_t PaceFrame(uint32_t ms) {
  const uint32_t now = GetTickCount();
  const uint32_t elapsed = now - LastFrameTick;  // unsigned: right across the wrap
  if (elapsed < ms) Sleep(ms - elapsed);
  LastFrameTick = GetTickCount();
  return LastFrameTick;
}
