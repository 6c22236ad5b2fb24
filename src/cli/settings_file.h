// The player's settings file, kaze.conf: one "option = value" a line, named
// as the long options and checked by the same code, under the command line
// (which wins, option by option). Where it lies, and where F12's pictures
// go by default, follow the XDG base directory rules.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/options.h"

namespace kaze::cli {

// The variables the places below depend on, as set ("" when unset).
struct Environment {
  std::string configHome;  // XDG_CONFIG_HOME
  std::string home;        // HOME
};
Environment ProcessEnvironment();

// $XDG_CONFIG_HOME when it is absolute, else ~/.config; empty without either.
std::filesystem::path ConfigFolder(const Environment& environment);
// <config folder>/kaze/kaze.conf; empty without a config folder.
std::filesystem::path DefaultSettingsFile(const Environment& environment);
// The XDG_PICTURES_DIR of <config folder>/user-dirs.dirs, when that folder
// exists; else empty.
std::filesystem::path PicturesFolder(const Environment& environment);

// A line's name and value on either side of its "=", spaces trimmed: Blank
// for an empty or comment ("#") line, NoEquals for one without "=".
enum class SettingLine { Blank, NoEquals, Setting };
SettingLine SplitSettingLine(const std::string& line, std::string& name, std::string& value);

// The whole file into `text`; 0, or the errno of what failed.
int ReadFileText(const std::filesystem::path& file, std::string& text);

// The file's text as options: the window/full-screen choice of its last line
// that makes one, the other options as their last line gives them. Each bad
// line adds one message, "FILE:LINE: what is wrong"; the other lines count.
Options ParseSettings(const std::string& text, const std::filesystem::path& file, std::vector<std::string>& problems);

// Reads and parses `file`. A file that is not there is no problem unless it
// `mustExist`; one that cannot be read is one problem and no settings.
Options ReadSettings(const std::filesystem::path& file, bool mustExist, std::vector<std::string>& problems);

// The command line's options with the file's where the command line gives
// none. A headless run takes only the file's data and mute: it has no
// screen, and the player's screen settings must not refuse it.
void MergeSettings(Options& commandLine, const Options& file);

}  // namespace kaze::cli
