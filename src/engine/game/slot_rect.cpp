#include "game/slot_rect.h"

#include "display/display_device.h"
#include "shell/shared_flags.h"

int DisplayDevice::GetSlotRect(int slot, RECT* rect) const {
  if (slot < 0 || slot >= kSlotCount || slots[slot].loaded == 0) return 0;
  *rect = slots[slot].sourceRect;
  return 1;
}

int GetSlotRect(int32_t slot, RECT* rect) {
  const DisplayDevice* display = TheDisplay.load();
  return display != nullptr ? display->GetSlotRect(slot, rect) : 0;
}
