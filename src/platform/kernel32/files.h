// The one choke point for file names: every file the program opens goes
// through ResolveDataPath.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kaze::platform {

// The folder that holds the Data folder (default: the working directory).
void SetDataRoot(std::filesystem::path root);
const std::filesystem::path& DataRoot();

// Maps a program path ("Data\main\x.v", "DATA\SOUND\opening.wav") to an
// existing file below the data root, matching each component case-
// insensitively (exact matches first). Nothing for a missing file, an absolute
// path, or a path with ".." components.
std::optional<std::filesystem::path> ResolveDataPath(std::string_view programPath);

}  // namespace kaze::platform
