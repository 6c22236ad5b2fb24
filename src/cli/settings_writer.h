// Alt+Enter and F11 are remembered in the settings file: its window/full-
// screen line is rewritten, every other byte of the player's file kept.
#pragma once

#include <filesystem>
#include <string>

namespace kaze::cli {

// `text` with the choice that its last window or fullscreen line makes set
// to `fullscreen` ("fullscreen = true" or "window = true" in that line's
// place, or a line added at the end); the rest byte for byte.
std::string WithScreenChoice(const std::string& text, bool fullscreen);

// Rewrites the settings file `file` so: a symbolic link's target is
// written, through a temporary file beside it renamed over it, folder and
// file made when missing. False with a one-line reason naming the file;
// the old file is left as it was then.
bool RememberScreenChoice(const std::filesystem::path& file, bool fullscreen, std::string& error);

}  // namespace kaze::cli
