#include "shell/game_thread.h"

#include <process.h>
#include <windows.h>

#include "display/display_device.h"
#include "game/scenes.h"
#include "port_thread.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"

uint32_t LastFrameTick = 0;

int StartGameThread() { return _beginthread(GameThreadMain, 0, nullptr) != static_cast<uintptr_t>(-1) ? 1 : 0; }

void (*GameScenario)() = MainSceneLoop;

void GameThreadMain(void*) { RunGameThread(GameScenario); }

void RunGameThread(void (*scenario)()) {
  while (AppActive.load() == 0 || TheDisplay.load() == nullptr) {
    // A quit that comes before the scenario began (the application was
    // deactivated at once) ends the thread here, so Shutdown's wait ends.
    if (QuitRequested.load() != 0) PortEndThread(GameThreadDone);
    Sleep(1);
  }
  scenario();
  PostMessageA(MainWindow, WM_CLOSE, 0, 0);
  PortEndThread(GameThreadDone);
}

void PumpFrame() {
  // GameThreadDone is raised once nothing of the thread runs any more: the
  // display and the sound may go then.
  if (QuitRequested.load() != 0) PortEndThread(GameThreadDone);
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
