#include "cli/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

namespace kaze::cli {

namespace fs = std::filesystem;

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The file's lines without their ends ("\n" or "\r\n").
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

int ReadFileText(const fs::path& file, std::string& text) {
  std::FILE* stream = std::fopen(file.c_str(), "rb");
  if (stream == nullptr) return errno;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stream)) > 0;) text.append(buffer, got);
  const int error = std::ferror(stream) ? errno : 0;
  std::fclose(stream);
  return error;
}

namespace {

std::optional<bool> Truth(const std::string& value) {
  if (value == "true") return true;
  if (value == "false") return false;
  return std::nullopt;
}

// One "name = value" into `options`, checked as the command line checks it;
// false with the reason, the options untouched.
bool ApplySetting(const std::string& name, const std::string& value, const fs::path& file, Options& options,
                  std::string& error) {
  Options changed = options;
  const std::optional<bool> truth = Truth(value);
  auto needTruth = [&] {
    if (!truth) error = name + " needs true or false, not '" + value + "'";
    return truth.has_value();
  };
  // The window and full screen are one choice, which the last line that
  // makes it makes; a "false" there is the other one.
  auto choose = [&](bool window) {
    changed.window = changed.fullscreen = false;
    return ParseOption(window ? "--window" : "--fullscreen", {}, changed, error);
  };
  const std::map<std::string, std::function<bool()>> settings = {
      {"window", [&] { return needTruth() && choose(*truth); }},
      {"fullscreen", [&] { return needTruth() && choose(!*truth); }},
      {"mute", [&] { return needTruth() && (changed.mute = *truth, true); }},
      {"vsync", [&] { return needTruth() && (changed.noVsync = !*truth, true); }},
      {"scale", [&] { return ParseOption("--scale", value, changed, error); }},
      {"scaling", [&] { return ParseOption("--scaling", value, changed, error); }},
      // A desktop's launcher starts the program in any folder: a relative
      // path is taken from the file's folder.
      {"data",
       [&] {
         return ParseOption("--data", value.empty() ? value : (file.parent_path() / value).string(), changed, error);
       }},
      {"screenshots",
       [&] {
         const fs::path folder = value.empty() ? fs::path() : file.parent_path() / value;
         std::error_code fsError;
         if (!value.empty() && !fs::is_directory(folder, fsError)) {
           error = "the screenshot folder '" + folder.string() + "' does not exist";
           return false;
         }
         return ParseOption("--screenshots", folder.string(), changed, error);
       }},
  };
  const auto setting = settings.find(name);
  if (setting == settings.end()) {
    error = "unknown option \"" + name + "\"";
    return false;
  }
  if (!setting->second()) {
    if (error.rfind("--", 0) == 0) error.erase(0, 2);  // the command line's words, the file's name
    return false;
  }
  options = changed;
  return true;
}

}  // namespace

Environment ProcessEnvironment() { return {Variable("XDG_CONFIG_HOME"), Variable("HOME")}; }

fs::path ConfigFolder(const Environment& environment) {
  if (fs::path(environment.configHome).is_absolute()) return environment.configHome;
  if (fs::path(environment.home).is_absolute()) return fs::path(environment.home) / ".config";
  return {};
}

fs::path DefaultSettingsFile(const Environment& environment) {
  const fs::path folder = ConfigFolder(environment);
  return folder.empty() ? folder : folder / "kaze" / "kaze.conf";
}

fs::path PicturesFolder(const Environment& environment) {
  const fs::path config = ConfigFolder(environment);
  if (config.empty()) return {};
  std::string text;
  if (ReadFileText(config / "user-dirs.dirs", text) != 0) return {};
  // XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path; "$HOME/" alone
  // means the player has no such folder.
  const std::string key = "XDG_PICTURES_DIR=";
  for (const std::string& raw : Lines(text)) {
    const std::string line = Trimmed(raw);
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return {};
    value = value.substr(1, value.size() - 2);
    fs::path folder;
    if (value.rfind("$HOME/", 0) == 0 && value.size() > 6 && !environment.home.empty())
      folder = fs::path(environment.home) / value.substr(6);
    else if (value.rfind("/", 0) == 0)
      folder = value;
    std::error_code fsError;
    return !folder.empty() && fs::is_directory(folder, fsError) ? folder : fs::path();
  }
  return {};
}

SettingLine SplitSettingLine(const std::string& line, std::string& name, std::string& value) {
  const std::string trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed[0] == '#') return SettingLine::Blank;
  const size_t equals = trimmed.find('=');
  if (equals == std::string::npos) {
    value = trimmed;
    return SettingLine::NoEquals;
  }
  name = Trimmed(trimmed.substr(0, equals));
  value = Trimmed(trimmed.substr(equals + 1));
  return SettingLine::Setting;
}

Options ParseSettings(const std::string& text, const fs::path& file, std::vector<std::string>& problems) {
  Options options;
  const std::vector<std::string> lines = Lines(text);
  for (size_t number = 1; number <= lines.size(); ++number) {
    const std::string where = file.string() + ":" + std::to_string(number) + ": ";
    std::string name, value, error;
    switch (SplitSettingLine(lines[number - 1], name, value)) {
      case SettingLine::Blank:
        break;
      case SettingLine::NoEquals:
        problems.push_back(where + "no \"=\" in \"" + value + "\"");
        break;
      case SettingLine::Setting:
        if (!ApplySetting(name, value, file, options, error)) problems.push_back(where + error);
        break;
    }
  }
  return options;
}

Options ReadSettings(const fs::path& file, bool mustExist, std::vector<std::string>& problems) {
  std::string text;
  if (const int error = ReadFileText(file, text); error != 0) {
    if (error != ENOENT || mustExist)
      problems.push_back("cannot read the settings file " + file.string() + ": " + std::strerror(error));
    return {};
  }
  return ParseSettings(text, file, problems);
}

void MergeSettings(Options& commandLine, const Options& file) {
  if (commandLine.dataDir.empty()) commandLine.dataDir = file.dataDir;
  commandLine.mute = commandLine.mute || file.mute;
  if (commandLine.headless) return;
  // --scale alone has made the command line's choice a window already.
  if (!commandLine.window && !commandLine.fullscreen) {
    commandLine.window = file.window || (file.scale != 0 && !file.fullscreen);
    commandLine.fullscreen = file.fullscreen;
  }
  // The file's scale sizes the window also after F11 from full screen.
  if (commandLine.scale == 0) commandLine.scale = file.scale;
  if (commandLine.scaling.empty()) commandLine.scaling = file.scaling;
  commandLine.noVsync = commandLine.noVsync || file.noVsync;
  if (commandLine.screenshotDir.empty()) commandLine.screenshotDir = file.screenshotDir;
}

}  // namespace kaze::cli
