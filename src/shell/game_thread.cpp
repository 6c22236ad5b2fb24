#include "shell/game_thread.h"

#include <process.h>
#include <windows.h>

#include "display/display_device.h"
#include "game/main_scene_loop.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"

uint32_t LastFrameTick = 0;

namespace {

// The game thread's own end: it will touch nothing of the display or the
// sound any more, which lets Shutdown release them.
[[noreturn]] void EndGameThread() {
  GameThreadDone.store(1);
  _endthread();
}

}  // namespace

int StartGameThread() { return _beginthread(GameThreadMain, 0, nullptr) != static_cast<uintptr_t>(-1) ? 1 : 0; }

void GameThreadMain(void*) {
  while (AppActive.load() == 0 || TheDisplay.load() == nullptr) {
    // A quit that comes before the scenario began (the application was
    // deactivated at once) ends the thread here, so Shutdown's wait ends.
    if (QuitRequested.load() != 0) EndGameThread();
    Sleep(1);
  }
  MainSceneLoop();
  PostMessageA(MainWindow, WM_CLOSE, 0, 0);
  EndGameThread();
}

void PumpFrame() {
  if (QuitRequested.load() != 0) EndGameThread();
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
