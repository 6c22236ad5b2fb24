// In-process tests on the headless host.
//
//   class MyTest : public kaze::test::HeadlessTest {};
//   TEST_F(MyTest, ...) {
//     StartHost();                       // or StartHost(options) with a script, a start tick, ...
//     Sleep(20);                         // the test's thread is the first thread of the run
//     host().Now(), host().Flips(), TraceOf("msgbox") ...
//   }
//
// The fixture gives every test a fresh platform (no windows, no queued
// messages, no faults, the 5-6-5 format, the shared flags at zero) and ends
// the host after the test. ParseOptionsScript builds script actions from text.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/headless/headless_host.h"
#include "support/kaze_run.h"

namespace kaze::test {

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Installs a headless host that keeps its trace in memory.
  void StartHost(host::HeadlessOptions options = {});
  // Parses script text (ADD_FAILURE on a bad script).
  static std::vector<host::ScriptAction> Script(const std::string& text);

  host::HeadlessHost& host() { return *host_; }
  // The trace so far, parsed; only the lines of `ev` when given.
  std::vector<TraceLine> TraceOf(const std::string& ev = "");

 private:
  std::unique_ptr<host::HeadlessHost> host_;
};

// Puts the platform and the program's shared state back as at process start.
void ResetProgramState();

}  // namespace kaze::test
