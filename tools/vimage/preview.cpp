#include "preview.h"

#include <cstdio>

namespace vimage {

std::optional<PreviewOptions> ParsePreviewOptions(const std::vector<std::string>& args, std::ostream& err) {
  PreviewOptions options;
  options.input = args.at(1);
  options.output = args.at(2);
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--555") {
      options.format555 = true;
    } else if (args[i] == "--key") {
      options.keyed = true;
    } else if (args[i] == "--at" && i + 1 < args.size()) {
      char tail = 0;
      if (std::sscanf(args[++i].c_str(), "%d,%d%c", &options.x, &options.y, &tail) != 2) {
        err << "--at wants X,Y, not " << args[i] << "\n";
        return std::nullopt;
      }
    } else {
      err << "unknown option " << args[i] << "\n";
      return std::nullopt;
    }
  }
  return options;
}

int RunPreview(const PreviewOptions& options, std::ostream& err) {
  err << "preview is not available in this build\n";
  return 1;
}

}  // namespace vimage
