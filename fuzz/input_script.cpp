// The headless host's input script is read from a file that anyone may
// write: any bytes must give actions or a reason, never a crash, and the
// actions must play.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<kaze::host::ScriptAction> actions;
  std::string error;
  const bool parsed =
      kaze::host::ParseScript(std::string_view(reinterpret_cast<const char*>(data), size), actions, error);
  if (!parsed && error.rfind("line ", 0) != 0) __builtin_trap();  // every refusal names its line
  if (!parsed) return 0;
  for (size_t i = 1; i < actions.size(); ++i)
    if (actions[i - 1].time > actions[i].time) __builtin_trap();  // and the actions come in time order
  // Played in two steps, they give what they give in one.
  const uint64_t middle = actions.empty() ? 0 : actions[actions.size() / 2].time;
  std::vector<kaze::host::InputChange> whole, halves;
  kaze::host::ScriptPlayer(actions).ChangesUpTo(UINT64_MAX, whole);
  kaze::host::ScriptPlayer player(actions);
  player.ChangesUpTo(middle, halves);
  player.ChangesUpTo(UINT64_MAX, halves);
  if (whole.size() != halves.size()) __builtin_trap();
  return 0;
}
