// The Debian package's Build-Depends follow scripts/packages.sh: everything
// that building and playing needs (the compiler comes with build-essential),
// and of the suite's packages only ones marked <!nocheck>, so that a build
// without the tests does not ask for them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

std::string ReadSource(const std::string& name) {
  std::ifstream in(fs::path(KAZE_SOURCE_DIR) / name);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The words of `name=( ... )` in scripts/packages.sh.
std::set<std::string> PackageList(const std::string& script, const std::string& name) {
  const size_t start = script.find("\n" + name + "=(");
  if (start == std::string::npos) return {};
  const size_t open = script.find('(', start), close = script.find(')', open);
  std::istringstream words(script.substr(open + 1, close - open - 1));
  std::set<std::string> list;
  for (std::string word; words >> word;) list.insert(word);
  return list;
}

// Build-Depends of debian/control: each package, and whether it is marked
// for builds with the tests only.
std::map<std::string, bool> BuildDepends(const std::string& control) {
  std::map<std::string, bool> depends;
  std::smatch field;
  std::regex_search(control, field, std::regex(R"(\nBuild-Depends:((\n [^\n]*)+))"));
  std::istringstream entries(field.empty() ? "" : field[1].str());
  for (std::string entry; std::getline(entries, entry, ',');) {
    std::istringstream words(entry);
    std::string name;
    if (words >> name) depends[name] = entry.find("<!nocheck>") != std::string::npos;
  }
  return depends;
}

TEST(DebianPackage, BuildDependsAreThePlayListAndTheTestPackagesOnlyWithTheTests) {
  const std::string script = ReadSource("scripts/packages.sh");
  const std::set<std::string> play = PackageList(script, "play_packages");
  const std::set<std::string> test = PackageList(script, "test_packages");
  const std::map<std::string, bool> depends = BuildDepends(ReadSource("debian/control"));
  ASSERT_FALSE(play.empty());
  ASSERT_FALSE(test.empty());
  ASSERT_TRUE(depends.count("debhelper-compat"));

  for (const std::string& package : play) {
    if (package == "g++") continue;  // build-essential
    ASSERT_TRUE(depends.count(package)) << package << " is missing from Build-Depends";
    EXPECT_FALSE(depends.at(package)) << package << " is needed to build, with or without the tests";
  }
  for (const auto& [package, testsOnly] : depends) {
    if (package == "debhelper-compat" || play.count(package)) continue;
    EXPECT_TRUE(test.count(package)) << package << " is in no list of scripts/packages.sh";
    EXPECT_TRUE(testsOnly) << package << " is only the suite's: mark it <!nocheck>";
  }
}

}  // namespace
}  // namespace kaze::test
