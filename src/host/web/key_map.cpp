#include "host/web/key_map.h"

#include <array>
#include <utility>

namespace kaze::host {

namespace {

// Keys by position, so that ESC, the space bar and the function keys are
// the same on every keyboard layout.
constexpr std::array<std::pair<std::string_view, uint32_t>, 28> kByPosition{{
    {"Escape", 0x1B},    {"Space", 0x20},     {"Enter", 0x0D},      {"NumpadEnter", 0x0D}, {"Backspace", 0x08},
    {"Tab", 0x09},       {"ShiftLeft", 0x10}, {"ShiftRight", 0x10}, {"ControlLeft", 0x11}, {"ControlRight", 0x11},
    {"AltLeft", 0x12},   {"AltRight", 0x12},  {"Pause", 0x13},      {"PageUp", 0x21},      {"PageDown", 0x22},
    {"End", 0x23},       {"Home", 0x24},      {"ArrowLeft", 0x25},  {"ArrowUp", 0x26},     {"ArrowRight", 0x27},
    {"ArrowDown", 0x28}, {"Insert", 0x2D},    {"Delete", 0x2E},     {"F1", 0x70},          {"F2", 0x71},
    {"F3", 0x72},        {"F4", 0x73},        {"F5", 0x74},
}};

uint32_t FunctionKey(std::string_view code) {
  // F6 to F10; F11 (full screen) and F12 (developer tools) stay the browser's.
  if (code.size() == 2 && code[0] == 'F' && code[1] >= '6' && code[1] <= '9') return 0x70 + uint32_t(code[1] - '1');
  if (code == "F10") return 0x79;
  return 0;
}

}  // namespace

uint32_t VirtualKeyOfDomKey(std::string_view code, std::string_view key) {
  for (const auto& [name, virtualKey] : kByPosition) {
    if (name == code) return virtualKey;
  }
  if (const uint32_t function = FunctionKey(code)) return function;
  // Letters and digits by what the layout prints on them, as Windows does.
  if (key.size() == 1) {
    const char c = key[0];
    if (c >= 'a' && c <= 'z') return uint32_t('A' + (c - 'a'));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return uint32_t(c);
  }
  return 0;
}

bool IsDomSystemKey(std::string_view code, bool altHeld) {
  return altHeld || code == "AltLeft" || code == "AltRight" || code == "F10";
}

}  // namespace kaze::host
