// The browser's keys as the Windows virtual keys the program knows.
#pragma once

#include <cstdint>
#include <string_view>

namespace kaze::host {

// `code` is the DOM's KeyboardEvent.code (the key's place on the keyboard),
// `key` its KeyboardEvent.key (what the layout prints on it). 0 for a key
// the program is never given: the browser keeps those (F11, F12 and the
// like).
uint32_t VirtualKeyOfDomKey(std::string_view code, std::string_view key);

// Whether Windows would send the key as a system key (WM_SYSKEYDOWN).
bool IsDomSystemKey(std::string_view code, bool altHeld);

}  // namespace kaze::host
