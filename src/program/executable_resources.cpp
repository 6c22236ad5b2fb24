#include "program/executable_resources.h"

#include "resources/icon_149.h"
#include "shell/main_window.h"

namespace {

constexpr auto kIcon32 = kaze::resources::Icon149Pixels();
constexpr auto kIcon16 = kaze::resources::Icon149SmallPixels();

}  // namespace

const kaze::platform::ResourceTable& ExecutableResources() {
  static const kaze::platform::ResourceTable table = [] {
    kaze::platform::ResourceTable resources;
    resources.accelerators.push_back(kaze::platform::AcceleratorTableResource{
        kAcceleratorTableId,
        {ACCEL{FVIRTKEY | FNOINVERT, VK_ESCAPE, CMD_QUIT}, ACCEL{FVIRTKEY | FNOINVERT | FALT, VK_F4, CMD_QUIT}}});
    // Group 149: 32x32 in 256 colours, 32x32 in 16 colours, 16x16 in 16 colours.
    resources.icons.push_back(kaze::platform::IconGroupResource{
        kIconGroupId,
        {{kaze::resources::kIcon149Size, kaze::resources::kIcon149Size, 256, kIcon32.data()},
         {kaze::resources::kIcon149Size, kaze::resources::kIcon149Size, 16, kIcon32.data()},
         {kaze::resources::kIcon149SmallSize, kaze::resources::kIcon149SmallSize, 16, kIcon16.data()}}});
    return resources;
  }();
  return table;
}
