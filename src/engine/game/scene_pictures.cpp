#include "game/scene_pictures.h"

#include "display/display_device.h"
#include "shell/shared_flags.h"

int LoadPicture(int32_t slot, const char* name, int32_t flags) {
  DisplayDevice* display = TheDisplay.load();
  return display != nullptr ? display->LoadImageSlot(slot, name, flags, -1) : 0;
}

int GetSlotRect(int32_t slot, RECT* rect) {
  const DisplayDevice* display = TheDisplay.load();
  return display != nullptr ? display->GetSlotRect(slot, rect) : 0;
}
