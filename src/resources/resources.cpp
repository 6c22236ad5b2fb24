#include "resources/resources.h"

#include "shell/main_window.h"

const kaze::platform::ResourceTable& ExecutableResources() {
  static const kaze::platform::ResourceTable table = [] {
    kaze::platform::ResourceTable resources;
    resources.accelerators.push_back(kaze::platform::AcceleratorTableResource{
        kAcceleratorTableId,
        {ACCEL{FVIRTKEY | FNOINVERT, VK_ESCAPE, CMD_QUIT}, ACCEL{FVIRTKEY | FNOINVERT | FALT, VK_F4, CMD_QUIT}}});
    resources.icons.push_back(kaze::platform::IconGroupResource{kIconGroupId, {}});
    return resources;
  }();
  return table;
}
