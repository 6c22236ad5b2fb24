// The executable's resources as the stand-in knows them: the program's
// resource table, installed once by main before WinMain (on Windows the
// resource compiler links the same items into the executable).
#pragma once

#include <windows.h>

#include <vector>

namespace kaze::platform {

struct AcceleratorTableResource {
  WORD id = 0;
  std::vector<ACCEL> entries;
};

struct IconImageResource {
  int32_t width = 0;
  int32_t height = 0;
  int32_t colours = 0;             // 16 or 256
  const uint32_t* argb = nullptr;  // width*height pixels, or null
};

struct IconGroupResource {
  WORD id = 0;
  std::vector<IconImageResource> images;
};

struct ResourceTable {
  std::vector<AcceleratorTableResource> accelerators;
  std::vector<IconGroupResource> icons;
};

// The table that LoadAcceleratorsA and LoadIconA search; null: none.
void InstallResources(const ResourceTable* table);
const ResourceTable* InstalledResources();

// The kLargeIconSize-square picture of an icon that LoadIconA handed out,
// with the most colours of its group; null for no icon, or a handle that
// LoadIconA did not give.
constexpr int32_t kLargeIconSize = 32;  // as SM_CXICON and SM_CYICON
const uint32_t* LargeIconPixels(HICON icon);

// The resource number behind a MAKEINTRESOURCEA name; 0 for a text name.
WORD ResourceNumber(LPCSTR name);

}  // namespace kaze::platform
