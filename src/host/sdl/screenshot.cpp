#include "host/sdl/screenshot.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "host/png_file.h"

namespace kaze::host {

std::string ScreenshotName(std::time_t when, const std::string& folder) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "kaze-%Y%m%d-%H%M%S", &local);
  const std::string prefix = folder.empty() ? std::string(stamp) : folder + "/" + stamp;
  std::string name = prefix + ".png";
  for (int n = 2; access(name.c_str(), F_OK) == 0; ++n) name = prefix + "-" + std::to_string(n) + ".png";
  return name;
}

void SaveScreenshot(const StoredFrame& frame, const std::string& folder) {
  const std::string name = ScreenshotName(std::time(nullptr), folder);
  char current[4096];
  const bool relative = name.empty() || name[0] != '/';
  const std::string where =
      relative && getcwd(current, sizeof current) != nullptr ? std::string(current) + "/" + name : name;
  if (const int error = WritePng(name, frame.pixels, kScreenWidth, kScreenHeight, frame.layout); error != 0) {
    std::fprintf(stderr, "kaze: cannot write the screenshot %s: %s\n", where.c_str(), std::strerror(error));
  } else {
    std::fprintf(stderr, "kaze: screenshot saved as %s\n", where.c_str());
  }
}

}  // namespace kaze::host
