// What the scripts ask apt-get for, on a machine where nothing is
// installed: apt-get, dpkg-query and sudo are stand-ins on PATH that log the
// packages asked for, and cmake one that stops the build after the install.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "support/kaze_run.h"

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

class PackagesAsked : public ::testing::Test {
 protected:
  void SetUp() override {
    Shim("dpkg-query", "exit 1");  // nothing is installed
    Shim("apt-get", "[ \"$1\" = install ] && printf '%s\\n' \"$@\" >> \"" + log_.string() + "\"; exit 0");
    Shim("sudo", "exec \"$@\"");
    Shim("cmake", "exit 1");  // the build is not this test's business
  }

  // Runs a script of the source tree with the stand-ins first on PATH; the
  // packages it asked apt-get to install.
  std::vector<std::string> Asked(const std::string& script, const std::vector<std::string>& arguments = {}) {
    fs::remove(log_);
    std::string command = "PATH=\"" + shims_.string() + ":$PATH\" bash \"" KAZE_SOURCE_DIR "/" + script + "\"";
    for (const std::string& argument : arguments) command += " " + argument;
    last_ = RunProgram({"/bin/sh", "-c", command + " </dev/null"});
    std::vector<std::string> packages;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && line[0] != '-' && line != "install") packages.push_back(line);
    return packages;
  }

  static bool Has(const std::vector<std::string>& packages, const std::string& name) {
    return std::find(packages.begin(), packages.end(), name) != packages.end();
  }

  ProgramRun last_;

 private:
  void Shim(const std::string& name, const std::string& body) {
    const fs::path path = shims_ / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
  }

  TempDir dir_;
  fs::path shims_ = dir_.path();
  fs::path log_ = dir_.path() / "asked.log";
};

TEST_F(PackagesAsked, PlayingAsksOnlyForWhatBuildingAndPlayingNeed) {
  const std::vector<std::string> asked = Asked("scripts/play.sh");
  EXPECT_NE(last_.exitCode, 0) << "the stand-in cmake stops it after the install";
  for (const char* needed : {"g++", "cmake", "libsdl2-dev", "libpng-dev", "libfreetype-dev", "libharfbuzz-dev",
                             "libasound2-dev", "libsoxr-dev", "libdeflate-dev", "fonts-ipafont-mincho"}) {
    EXPECT_TRUE(Has(asked, needed)) << needed;
  }
  for (const char* unwanted : {"wine", "wine64", "chromium", "emscripten", "g++-mingw-w64-x86-64", "clang",
                               "libgtest-dev", "libbenchmark-dev", "xvfb", "imagemagick"}) {
    EXPECT_FALSE(Has(asked, unwanted)) << unwanted;
  }
}

TEST_F(PackagesAsked, EachPurposeAddsItsOwnListAndAnUnknownOneIsOneLine) {
  const std::vector<std::string> test = Asked("scripts/install-deps.sh", {"play", "test"});
  EXPECT_TRUE(Has(test, "libgtest-dev") && Has(test, "xvfb") && Has(test, "g++"));
  EXPECT_FALSE(Has(test, "wine") || Has(test, "emscripten"));
  const std::vector<std::string> windows = Asked("scripts/install-deps.sh", {"windows"});
  EXPECT_TRUE(Has(windows, "wine") && Has(windows, "g++-mingw-w64-x86-64"));
  EXPECT_FALSE(Has(windows, "g++"));
  const std::vector<std::string> web = Asked("scripts/install-deps.sh", {"web"});
  EXPECT_TRUE(Has(web, "emscripten") && Has(web, "chromium"));

  EXPECT_TRUE(Asked("scripts/install-deps.sh", {"toys"}).empty());
  EXPECT_EQ(last_.exitCode, 2);
  EXPECT_EQ(last_.stderrText, "install-deps.sh: no such purpose 'toys' (play, test, windows, web)\n");
}

}  // namespace
}  // namespace kaze::test
