// The slot rectangle query at the ends of the slot range.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "display/display_device.h"
#include "game/scene_pictures.h"
#include "shell/shared_flags.h"

namespace kaze::test {
namespace {

TEST(SlotRect, IsGivenForLoadedSlotsOnlyAndTheRectangleIsLeftAloneOtherwise) {
  // The device stands on bytes that are not zero, so that whatever lies
  // past its last slot would read as a loaded picture.
  std::vector<unsigned char> storage(sizeof(DisplayDevice) + sizeof(ImageSlot), 0xFF);
  auto* device = new (storage.data()) DisplayDevice();
  TheDisplay.store(device);
  device->slots[0].loaded = 1;
  device->slots[0].sourceRect = RECT{0, 0, 40, 20};
  device->slots[255].loaded = 1;
  device->slots[255].sourceRect = RECT{0, 0, 8, 450};
  struct Case {
    int32_t slot;
    int result;
    RECT rect;
  };
  const RECT untouched{-7, -7, -7, -7};
  const Case cases[] = {
      {0, 1, {0, 0, 40, 20}}, {255, 1, {0, 0, 8, 450}}, {1, 0, untouched},  // loaded, loaded, empty
      {-1, 0, untouched},     {256, 0, untouched},                          // just outside the range
  };
  for (const Case& c : cases) {
    RECT rect = untouched;
    EXPECT_EQ(GetSlotRect(c.slot, &rect), c.result) << c.slot;
    EXPECT_EQ(rect.left, c.rect.left) << c.slot;
    EXPECT_EQ(rect.top, c.rect.top) << c.slot;
    EXPECT_EQ(rect.right, c.rect.right) << c.slot;
    EXPECT_EQ(rect.bottom, c.rect.bottom) << c.slot;
  }
  TheDisplay.store(nullptr);
  device->~DisplayDevice();
}

}  // namespace
}  // namespace kaze::test
