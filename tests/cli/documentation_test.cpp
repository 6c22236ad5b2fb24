// --help, the manual page and the README say the same: the same options,
// and the same synopsis line for each host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "support/kaze_run.h"

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KAZE_SOURCE_DIR;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The text from the first `start` to the next `end` after it.
std::string Between(const std::string& text, const std::string& start, const std::string& end) {
  const size_t from = text.find(start);
  if (from == std::string::npos) return "";
  const size_t to = text.find(end, from + start.size());
  return text.substr(from + start.size(), to == std::string::npos ? std::string::npos : to - from - start.size());
}

std::set<std::string> OptionNames(const std::string& text) {
  static const std::regex option("--[a-z0-9][a-z0-9-]*");
  return {std::sregex_token_iterator(text.begin(), text.end(), option), {}};
}

std::string Squeezed(const std::string& text) {
  return std::regex_replace(std::regex_replace(text, std::regex("\\s+"), " "), std::regex("^ | $"), "");
}

// One synopsis for each way to run kaze: its lines begin with "kaze",
// continuation lines are indented further.
std::vector<std::string> Synopses(const std::string& block) {
  std::vector<std::string> synopses;
  std::istringstream lines(block);
  for (std::string line; std::getline(lines, line);) {
    if (Squeezed(line).rfind("kaze", 0) == 0) synopses.emplace_back();
    if (!synopses.empty()) synopses.back() += " " + line;
  }
  for (std::string& synopsis : synopses) synopsis = Squeezed(synopsis);
  return synopses;
}

// The manual page as man shows it, wide enough that no synopsis wraps.
std::string RenderedManualPage() {
  const std::string page = (kSource / "dist" / "kaze.6").string();
  return RunProgram({"/bin/sh", "-c", "LC_ALL=C MANWIDTH=400 man -l \"$0\" 2>&1", page}).stdoutText;
}

TEST(Documentation, HelpManualPageAndReadmeNameTheSameOptionsAndSynopses) {
  const ProgramRun help = RunProgram({KAZE_BINARY, "--help"});
  ASSERT_EQ(help.exitCode, 0);
  const std::string usage = Between(help.stdoutText, "usage:\n", "\n\n");
  const std::set<std::string> options = OptionNames(help.stdoutText);
  EXPECT_GE(options.size(), 20u);

  const std::string roff = std::regex_replace(ReadText(kSource / "dist" / "kaze.6"), std::regex(R"(\\-)"), "-");
  EXPECT_EQ(OptionNames(Between(roff, ".SH OPTIONS", ".SH ")), options);
  EXPECT_EQ(OptionNames(Between(roff, ".SH SYNOPSIS", ".SH ")), OptionNames(usage));
  const std::string rendered = RenderedManualPage();
  EXPECT_EQ(Synopses(Between(rendered, "\nSYNOPSIS\n", "\n\n")), Synopses(usage)) << rendered;

  // The README's command-line block is the help itself; the rest of its
  // section names no option the program lacks.
  const std::string readme = Between(ReadText(kSource / "README.md"), "\n## The command line\n", "\n## ");
  EXPECT_EQ(Between(readme, "\n```\n", "```\n"), help.stdoutText);
  for (const std::string& name : OptionNames(readme)) EXPECT_TRUE(options.contains(name)) << name;
}

}  // namespace
}  // namespace kaze::test
