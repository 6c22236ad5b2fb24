// Fault injection for tests and scripted runs: make a named platform call
// fail with a given result. Names are the calls' own, with the interface for
// methods: "DirectDrawCreate", "IDirectDraw::CreateSurface",
// "IDirectDrawSurface::Lock", "DirectSoundCreate", "mixerOpen", ...
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaze::platform {

// The occurrence-th call of `call` (1-based) fails with `result`; with
// occurrence 0 every call fails.
void InjectFault(std::string call, int64_t result, int occurrence = 0);
void ClearFaults();

// Asked at the start of every call that can be made to fail: the result to
// fail with, or nothing when the call should go on normally.
std::optional<int64_t> CheckFault(std::string_view call);

// Parses "NAME=RESULT" or "NAME=RESULT@N" (RESULT decimal or 0x hex) and
// injects it; false for a malformed text.
bool InjectFaultSpec(std::string_view text);

}  // namespace kaze::platform
