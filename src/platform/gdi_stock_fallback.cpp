// GetStockObject for builds without the GDI objects: the weak definition
// gives way to the real one wherever that is linked in.
#include <windows.h>

__attribute__((weak)) HGDIOBJ GetStockObject(int object) {
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x5000 + object));
}
