#include "cli/data_folder.h"

#include <algorithm>
#include <cctype>

namespace kaze::cli {

namespace {

bool HasDataFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error), end;
  for (; !error && entries != end; entries.increment(error)) {
    std::string name = entries->path().filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    std::error_code typeError;
    if (name == "data" && entries->is_directory(typeError)) return true;
  }
  return false;
}

}  // namespace

std::filesystem::path ChooseDataFolder(const std::string& given, const std::filesystem::path& workingDir,
                                       const std::vector<std::filesystem::path>& installed) {
  if (!given.empty()) return given;
  if (HasDataFolder(workingDir)) return workingDir;
  for (const std::filesystem::path& folder : installed)
    if (HasDataFolder(folder)) return folder;
  return workingDir;
}

std::vector<std::filesystem::path> InstalledDataFolders() {
  std::vector<std::filesystem::path> folders;
#ifdef KAZE_DATA_FROM_BIN
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) folders.push_back(program.parent_path() / KAZE_DATA_FROM_BIN);
#endif
#ifdef KAZE_INSTALL_DATA_DIR
  folders.emplace_back(KAZE_INSTALL_DATA_DIR);
#endif
  return folders;
}

}  // namespace kaze::cli
