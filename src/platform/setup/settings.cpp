#include "platform/setup/settings.h"

namespace kaze::platform {

Settings& TheSettings() {
  static Settings settings;
  return settings;
}

}  // namespace kaze::platform
