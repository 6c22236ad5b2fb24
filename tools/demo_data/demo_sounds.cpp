#include "demo_sounds.h"

namespace demo {

bool WriteSounds(const std::filesystem::path&, std::string&) { return true; }  // not yet synthesized

}  // namespace demo
