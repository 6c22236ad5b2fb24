// Writing the demo set's files so that none is ever left half written: each
// goes to a temporary name beside it and takes its own name only when all of
// it is on disk, and the interrupting signals wait until a folder is whole.
#pragma once

#include <signal.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace demo {

// The suffix of a file being written; such a file is never one the tool
// finished, so a folder that holds one is not proven to be the tool's.
inline constexpr const char* kPartialSuffix = ".make-demo-data-partial";

// Writes `bytes` to `path`, replacing the file there only once the new one
// is complete. False with "cannot write PATH: reason" in `error`, and no
// temporary file left, when any step fails.
bool WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, std::string& error);

// While one lives, Ctrl+C, SIGTERM, SIGHUP and SIGQUIT wait: a build
// stopped while the tool replaces a folder stops once the folder is whole.
class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace demo
