#include "host/sdl/screenshot.h"

#include <unistd.h>

#include <cstdio>

#include "host/headless/frame_files.h"

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
  std::string error;
  if (WritePng(name, frame.pixels, kScreenWidth, kScreenHeight, frame.layout, error)) {
    char folder[4096];
    const bool known = getcwd(folder, sizeof folder) != nullptr;
    std::fprintf(stderr, "kaze: screenshot saved as %s%s%s\n", known ? folder : "", known ? "/" : "", name.c_str());
  } else {
    std::fprintf(stderr, "kaze: the screenshot %s cannot be saved: %s\n", name.c_str(), error.c_str());
  }
}

}  // namespace kaze::host
