#include "cli/data_folder.h"

#include <algorithm>
#include <cctype>

namespace kaze::cli {

namespace fs = std::filesystem;

namespace {

bool IsDataName(const fs::path& name) {
  std::string text = name.string();
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text == "data";
}

bool HasDataFolder(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator entries(folder, error), end;
  for (; !error && entries != end; entries.increment(error)) {
    std::error_code typeError;
    if (IsDataName(entries->path().filename()) && entries->is_directory(typeError)) return true;
  }
  return false;
}

// The path as the messages show it: absolute, so that it says where, and
// without the trailing slash that "." and "dir/" leave.
std::string Shown(const fs::path& folder) {
  std::error_code error;
  fs::path shown = fs::absolute(folder, error);
  shown = (error ? folder : shown).lexically_normal();
  if (!shown.has_filename() && shown.has_relative_path()) shown = shown.parent_path();
  return shown.string();
}

std::optional<fs::path> GivenDataSet(const fs::path& given, std::string& error) {
  const std::string named = Shown(given) + " (given with --data)";
  std::error_code statusError;
  const fs::file_status status = fs::status(given, statusError);
  if (!fs::exists(status)) {
    error = "no data set: " + named + " does not exist";
    return std::nullopt;
  }
  if (!fs::is_directory(status)) {
    error = "no data set: " + named + " is not a folder; give the folder that holds the Data folder";
    return std::nullopt;
  }
  if (HasDataFolder(given)) return given;
  // The Data folder itself: its parent holds it. The real path, so that
  // "Data/", "." and a link to the folder count too.
  std::error_code realError;
  const fs::path real = fs::canonical(given, realError);
  if (!realError && IsDataName(real.filename()) && real.has_parent_path()) return real.parent_path();
  error = "no data set: looked for a Data folder in " + named + "; give the folder that holds it";
  return std::nullopt;
}

// "A (role), B and C".
std::string ListPlaces(const std::vector<DataPlace>& places) {
  std::string list;
  for (size_t i = 0; i < places.size(); ++i) {
    if (i > 0) list += i + 1 == places.size() ? " and " : ", ";
    list += Shown(places[i].folder);
    if (!places[i].role.empty()) list += " (" + places[i].role + ")";
  }
  return list;
}

void AddPlace(std::vector<DataPlace>& places, const fs::path& folder, const std::string& role = "") {
  std::error_code error;
  const fs::path real = fs::weakly_canonical(folder, error);
  const fs::path shown = error ? folder.lexically_normal() : real;
  for (const DataPlace& place : places)
    if (place.folder == shown) return;
  places.push_back({shown, role});
}

}  // namespace

std::optional<fs::path> FindDataSet(const std::string& given, const fs::path& workingDir,
                                    const std::vector<DataPlace>& programPlaces, std::string& error) {
  if (!given.empty()) return GivenDataSet(given, error);
  std::vector<DataPlace> looked = {{workingDir, "the working directory"}};
  looked.insert(looked.end(), programPlaces.begin(), programPlaces.end());
  for (const DataPlace& place : looked)
    if (HasDataFolder(place.folder)) return place.folder;
  error = "no data set: looked for a Data folder in " + ListPlaces(looked) + "; give one with --data DIR";
  return std::nullopt;
}

std::vector<DataPlace> ProgramDataPlaces([[maybe_unused]] const fs::path& program) {
  std::vector<DataPlace> places;
#if defined(KAZE_BUILD_PROGRAM) && defined(KAZE_BUILD_DEMO_DIR)
  std::error_code error;
  const fs::path built = fs::weakly_canonical(KAZE_BUILD_PROGRAM, error);
  if (!error && !program.empty() && program == built) {
    AddPlace(places, KAZE_BUILD_DEMO_DIR, "this build's demo set");
    return places;
  }
#endif
#ifdef KAZE_DATA_FROM_BIN
  if (!program.empty()) AddPlace(places, program.parent_path() / KAZE_DATA_FROM_BIN);
#endif
#ifdef KAZE_INSTALL_FULL_DATA_DIR
  AddPlace(places, KAZE_INSTALL_FULL_DATA_DIR);
#endif
  return places;
}

fs::path RunningProgram() {
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : program;
}

}  // namespace kaze::cli
