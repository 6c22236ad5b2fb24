#include "host/sdl/screenshot.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "host/png_file.h"

namespace kaze::host {

std::string ScreenshotName(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "kaze-%Y%m%d-%H%M%S", &local);
  std::string name = std::string(stamp) + ".png";
  for (int n = 2; access(name.c_str(), F_OK) == 0; ++n) name = std::string(stamp) + "-" + std::to_string(n) + ".png";
  return name;
}

void SaveScreenshot(const StoredFrame& frame) {
  const std::string name = ScreenshotName(std::time(nullptr));
  char folder[4096];
  const std::string where = getcwd(folder, sizeof folder) != nullptr ? std::string(folder) + "/" + name : name;
  if (const int error = WritePng(name, frame.pixels, kScreenWidth, kScreenHeight, frame.layout); error != 0) {
    std::fprintf(stderr, "kaze: cannot write the screenshot %s: %s\n", where.c_str(), std::strerror(error));
  } else {
    std::fprintf(stderr, "kaze: screenshot saved as %s\n", where.c_str());
  }
}

}  // namespace kaze::host
