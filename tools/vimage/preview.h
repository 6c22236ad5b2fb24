// vimage preview: a picture put through the program's own loading and
// drawing onto a black 640x480 screen, written as PNG.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vimage {

struct PreviewOptions {
  std::string input;
  std::string output;
  bool format555 = false;  // the display in 5-5-5 instead of 5-6-5
  int x = 0;
  int y = 0;
  bool keyed = false;  // drawn with the picture's top-left colour as the key
};

// From "preview IN.v OUT.png [--555] [--at X,Y] [--key]"; nothing (and a
// line on err) for a bad option.
std::optional<PreviewOptions> ParsePreviewOptions(const std::vector<std::string>& args, std::ostream& err);

int RunPreview(const PreviewOptions& options, std::ostream& err);

}  // namespace vimage
