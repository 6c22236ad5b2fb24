#include "platform/setup/faults.h"

#include <charconv>
#include <mutex>
#include <vector>

namespace kaze::platform {

namespace {

struct Fault {
  std::string call;
  int64_t result = 0;
  int occurrence = 0;  // 0: every call
  int seen = 0;
};

std::mutex gFaultsMutex;
std::vector<Fault> gFaults;

bool ParseInteger(std::string_view text, int64_t& value) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  // Hex results are 32-bit HRESULT patterns such as 0x8876017C.
  if (base == 16 && magnitude <= 0xFFFFFFFFu) magnitude = static_cast<uint64_t>(static_cast<int32_t>(magnitude));
  value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

}  // namespace

void InjectFault(std::string call, int64_t result, int occurrence) {
  std::lock_guard lock(gFaultsMutex);
  gFaults.push_back(Fault{std::move(call), result, occurrence, 0});
}

void ClearFaults() {
  std::lock_guard lock(gFaultsMutex);
  gFaults.clear();
}

std::optional<int64_t> CheckFault(std::string_view call) {
  std::lock_guard lock(gFaultsMutex);
  std::optional<int64_t> result;
  for (Fault& fault : gFaults) {
    if (fault.call != call) continue;
    ++fault.seen;
    if (!result && (fault.occurrence == 0 || fault.occurrence == fault.seen)) result = fault.result;
  }
  return result;
}

bool InjectFaultSpec(std::string_view text) {
  size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  std::string_view name = text.substr(0, equals);
  std::string_view rest = text.substr(equals + 1);
  int64_t occurrence = 0;
  if (size_t at = rest.find('@'); at != std::string_view::npos) {
    if (!ParseInteger(rest.substr(at + 1), occurrence) || occurrence < 1) return false;
    rest = rest.substr(0, at);
  }
  int64_t result = 0;
  if (!ParseInteger(rest, result)) return false;
  InjectFault(std::string(name), result, static_cast<int>(occurrence));
  return true;
}

}  // namespace kaze::platform
